#include "app/AppCounters.h"

namespace quillet {

int AppCounters::takeDocumentNumber() {
    for (int tried = 0; tried < kMaxDocumentNumber; ++tried) {
        const int n = nextDocument_;
        nextDocument_ = n == kMaxDocumentNumber ? 1 : n + 1;
        if (!documentsInUse_[n]) {
            documentsInUse_[n] = true;
            return n;
        }
    }
    return 0;
}

void AppCounters::releaseDocumentNumber(int number) {
    if (number >= 1 && number <= kMaxDocumentNumber) documentsInUse_[number] = false;
}

bool AppCounters::documentNumberInUse(int number) const {
    return number >= 1 && number <= kMaxDocumentNumber && documentsInUse_[number];
}

}  // namespace quillet
