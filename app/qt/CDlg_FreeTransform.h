#pragma once
// "      자유변형": the modeless panel of the free-transform modes. Its caption line names the
// mode; OK applies the transform, Cancel (or closing the panel) restores the layer.
#include <QWidget>
#include <functional>

class QLabel;

namespace quillet {

class CDlg_FreeTransform : public QWidget {
    Q_OBJECT
public:
    CDlg_FreeTransform(std::function<void()> ok, std::function<void()> cancel,
                       QWidget* parent = nullptr);

    // "자유변형(크기조정)", "자유변형(왜곡)" or "자유변형(원근)".
    void setModeCaption(const QString& caption);
    QString modeCaption() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* caption_;
    std::function<void()> ok_;
    std::function<void()> cancel_;
};

}  // namespace quillet
