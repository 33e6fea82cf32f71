#include "app/qt/KoreanFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace quillet {

QString installKoreanFont() {
    const QStringList candidates = {"NanumGothic", "Nanum Gothic", "Noto Sans CJK KR", "UnDotum",
                                    "Baekmuk Gulim"};
    QString family;
    const QStringList installed = QFontDatabase::families();
    for (const QString& c : candidates) {
        if (installed.contains(c, Qt::CaseInsensitive)) {
            family = c;
            break;
        }
    }
    if (family.isEmpty()) return QApplication::font().family();
    QFont::insertSubstitution(QStringLiteral("굴림"), family);
    QFont::insertSubstitution(QStringLiteral("Gulim"), family);
    QFont font(family, 9);
    QApplication::setFont(font);
    return family;
}

}  // namespace quillet
