#pragma once
// "복구할 수 있는 문서가 있습니다": the documents a program that died left open, each with its
// picture, name and the time of its last step. The user recovers the ticked ones or all of
// them, or discards them; closing the dialog keeps them for the next start.
#include <QDialog>
#include <vector>

#include "app/CBrevApp.h"

class QListWidget;
class QPushButton;

namespace quillet {

class CDlg_Recover : public QDialog {
    Q_OBJECT
public:
    enum Outcome { Kept, Recover, Discard };

    explicit CDlg_Recover(CBrevApp& app, QWidget* parent = nullptr);

    Outcome outcome() const { return outcome_; }
    // The documents to recover, in the list's order (after "선택한 문서 복구" or "모두 복구").
    const std::vector<CBrevApp::RecoveryCandidate>& chosen() const { return chosen_; }

    QListWidget* list() const { return list_; }
    QPushButton* recoverChosenButton() const { return recoverChosen_; }
    QPushButton* recoverAllButton() const { return recoverAll_; }
    QPushButton* discardButton() const { return discard_; }

private:
    void finish(Outcome outcome, bool all);

    std::vector<CBrevApp::RecoveryCandidate> candidates_;
    std::vector<CBrevApp::RecoveryCandidate> chosen_;
    Outcome outcome_ = Kept;
    QListWidget* list_ = nullptr;
    QPushButton* recoverChosen_ = nullptr;
    QPushButton* recoverAll_ = nullptr;
    QPushButton* discard_ = nullptr;
};

// Offers the documents start-up found (when there are any), opens the chosen ones in `open`
// and cleans their folders up as the user decided. Nothing is shown when there are none.
void OfferRecovery(CBrevApp& app, QWidget* parent, const std::function<void(CBrevDoc&)>& open);

}  // namespace quillet
