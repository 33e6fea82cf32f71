#include <vector>

#include "cli/apply/ApplyOperation.h"

namespace quillet::cli {

int64_t ApplyValues::operator[](std::string_view name) const {
    for (size_t i = 0; i < parameters.size() && i < kMaxApplyParameters; ++i)
        if (parameters[i].name == name) return given[i] ? value[i] : parameters[i].defaultValue;
    return 0;
}

std::string_view ApplyValues::Text(std::string_view name) const {
    for (size_t i = 0; i < parameters.size() && i < kMaxApplyParameters; ++i)
        if (parameters[i].name == name) return text[i];
    return {};
}

bool ApplyValues::Given(std::string_view name) const {
    for (size_t i = 0; i < parameters.size() && i < kMaxApplyParameters; ++i)
        if (parameters[i].name == name) return given[i];
    return false;
}

std::span<const ApplyOperation* const> ApplyOperations() {
    static const std::vector<const ApplyOperation*> all = [] {
        std::vector<const ApplyOperation*> v;
        // One line a theme.
        for (std::span<const ApplyOperation> theme :
             {AdjustOperations(), FilterOperations(), GeometryOperations(), TextOperations()})
            for (const ApplyOperation& op : theme) v.push_back(&op);
        return v;
    }();
    return all;
}

const ApplyOperation* FindApplyOperation(std::string_view name) {
    for (const ApplyOperation* op : ApplyOperations())
        if (op->name == name) return op;
    return nullptr;
}

}  // namespace quillet::cli
