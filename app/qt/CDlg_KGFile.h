#pragma once
// The system file dialogs the program uses: "이미지 저장" (CDlg_KGFile, the save dialog with
// the picture formats, the native format's filter chosen first) and "이미지 열기", the
// traditional open dialog picking several files.
#include <QFileDialog>
#include <QStringList>

namespace quillet {

class CDlg_KGFile : public QFileDialog {
    Q_OBJECT
public:
    // Proposes `name` (a path or a bare file name) in the save dialog.
    CDlg_KGFile(const QString& name, QWidget* parent = nullptr);

    // The filters, the 7th chosen when the dialog opens.
    static QStringList saveFilters();
    static QStringList openFilters();
    static constexpr int kFirstFilter = 7;
};

// "이미지 열기": existing files only, several at once, starting in `folder` when it is not empty.
// The chosen paths in the dialog's order; empty when cancelled.
QStringList ChooseFilesToOpen(QWidget* parent, const QString& folder);

}  // namespace quillet
