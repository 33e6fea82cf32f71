#pragma once
#include <QString>

namespace quillet {

// The interface font: "굴림" is substituted by an installed Korean sans font (NanumGothic).
// Returns the family that the application font was set to.
QString installKoreanFont();

}  // namespace quillet
