#pragma once
// The source chooser: the scanners and cameras SANE finds, the remembered one chosen at first.
#include <QDialog>
#include <string>
#include <vector>

#include "services/SaneScanner.h"

class QListWidget;

namespace quillet {

class ScanSourceDialog : public QDialog {
    Q_OBJECT
public:
    ScanSourceDialog(std::vector<ScanDevice> devices, const std::string& current,
                     QWidget* parent = nullptr);
    QListWidget* list() const { return list_; }
    // The device chosen when the dialog was accepted.
    std::string chosen() const;

private:
    std::vector<ScanDevice> devices_;
    QListWidget* list_ = nullptr;
};

}  // namespace quillet
