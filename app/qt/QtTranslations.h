#pragma once
// Qt's own texts (file dialogs, the buttons of message boxes, colour dialogs) in Korean, from
// the translations the system's Qt ships.

namespace quillet {

// Loads Qt's Korean catalogue into the running application once; false when the system has
// none (the standard dialogs then stay in English).
bool installQtKoreanTranslations();

}  // namespace quillet
