#include "app/qt/CDlg_KGFile.h"

namespace quillet {

QStringList CDlg_KGFile::saveFilters() {
    return {QStringLiteral("JPEG (*.jpg)"),         QStringLiteral("비트맵 (*.bmp)"),
            QStringLiteral("GIF (*.gif)"),          QStringLiteral("TIFF (*.tif)"),
            QStringLiteral("JPEG (*.jpeg)"),        QStringLiteral("TIFF (*.tiff)"),
            QStringLiteral("Quillet 문서 (*.vlr)"), QStringLiteral("모든 파일 (*)")};
}

QStringList CDlg_KGFile::openFilters() {
    return {QStringLiteral("JPEG (*.jpg *.jpeg)"),
            QStringLiteral("비트맵 (*.bmp *.dib)"),
            QStringLiteral("GIF (*.gif)"),
            QStringLiteral("TIFF (*.tif *.tiff)"),
            QStringLiteral("PCX (*.pcx)"),
            QStringLiteral("Photoshop (*.psd)"),
            QStringLiteral("모든 그림 파일 (*.jpg *.jpeg *.bmp *.dib *.gif *.tif *.tiff *.pcx "
                           "*.psd *.vlr)"),
            QStringLiteral("Quillet 문서 (*.vlr)"),
            QStringLiteral("모든 파일 (*)")};
}

CDlg_KGFile::CDlg_KGFile(const QString& name, QWidget* parent) : QFileDialog(parent) {
    setObjectName(QStringLiteral("CDlg_KGFile"));
    setWindowTitle(QStringLiteral("이미지 저장"));
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setOption(QFileDialog::DontConfirmOverwrite, false);  // replacing a file is asked first
    const QStringList filters = saveFilters();
    setNameFilters(filters);
    selectNameFilter(filters[kFirstFilter - 1]);
    // The native format takes its extension when a bare name is typed with its filter chosen.
    auto suffixFor = [this, filters](const QString& filter) {
        setDefaultSuffix(filter == filters[kFirstFilter - 1] ? QStringLiteral("vlr") : QString());
    };
    suffixFor(filters[kFirstFilter - 1]);
    connect(this, &QFileDialog::filterSelected, this, suffixFor);
    selectFile(name);
}

QStringList ChooseFilesToOpen(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QStringLiteral("이미지 열기"), folder);
    dialog.setObjectName(QStringLiteral("OpenImageDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    const QStringList filters = CDlg_KGFile::openFilters();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[CDlg_KGFile::kFirstFilter - 1]);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace quillet
