#include "platform/qt/QtUserPort.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <algorithm>

namespace quillet {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Information:
            break;
    }
    return QMessageBox::Information;
}

}  // namespace

void QtUserPort::showMessage(const std::string& text, MessageIcon icon) {
    QMessageBox box(boxIcon(icon), QApplication::applicationName(), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

Answer QtUserPort::ask(const std::string& text, Buttons buttons, MessageIcon icon) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case Buttons::Ok:
            set = QMessageBox::Ok;
            break;
        case Buttons::OkCancel:
            set = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case Buttons::YesNo:
            set = QMessageBox::Yes | QMessageBox::No;
            break;
        case Buttons::YesNoCancel:
            set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox box(boxIcon(icon), QApplication::applicationName(), QString::fromStdString(text),
                    set, parent_);
    // Closing the box with Escape or the title bar counts as the safest answer.
    if (set & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (set & QMessageBox::No)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return set & QMessageBox::Cancel ? Answer::Cancel
                   : set & QMessageBox::No   ? Answer::No
                                             : Answer::Ok;
    }
}

void QtUserPort::progress(int percent) {
    auto* bar =
        parent_ ? parent_->findChild<QProgressBar*>(QStringLiteral("progressBar")) : nullptr;
    if (!bar) return;
    if (percent < 0) {
        bar->hide();
        bar->reset();
        return;
    }
    bar->setValue(std::min(percent, 100));
    bar->show();
    // The work runs on this thread: paint the bar now rather than when the loop is back.
    bar->repaint();
}

void QtUserPort::waitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++waitDepth_;
    } else if (waitDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitDepth_;
    }
}

}  // namespace quillet
