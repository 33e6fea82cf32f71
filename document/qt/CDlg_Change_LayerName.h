#pragma once
// "레이어 이름 변경": one edit box holding the current layer's name.
#include <QDialog>

class QLineEdit;

namespace quillet {

class CDlg_Change_LayerName : public QDialog {
    Q_OBJECT
public:
    CDlg_Change_LayerName(const QString& name, QWidget* parent = nullptr);
    QString name() const;
    QLineEdit* edit() const { return edit_; }

private:
    QLineEdit* edit_ = nullptr;
};

}  // namespace quillet
