#include "document/qt/CDlg_Filter.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/CBrevDoc.h"
#include "document/ColourCommands.h"
#include "document/qt/AdjustmentDialog.h"
#include "document/qt/FilterRunner.h"

namespace quillet {

namespace {
QString Text(std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
}  // namespace

CDlg_Filter::CDlg_Filter(CBrevDoc& doc, FilterId id, FilterRunner& runner, QWidget* parent)
    : QDialog(parent), doc_(doc), id_(id), runner_(runner) {
    const FilterRecord& r = FilterRecordOf(id);
    setWindowTitle(QStringLiteral("필터링설정"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(Text(r.name), this);
    name->setObjectName(QStringLiteral("name"));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    layout->addWidget(name);
    for (int i = 0; i < r.parameterCount; ++i) {
        const FilterParameter& p = r.parameters[size_t(i)];
        ValueSlider::Range range{p.minimum, p.maximum, p.defaultValue,
                                 1,         5,         std::max(1, (p.maximum - p.minimum) / 10)};
        auto* s = new ValueSlider(
            QStringLiteral("%1(%2‥%3)").arg(Text(p.caption)).arg(p.minimum).arg(p.maximum), range,
            this);
        s->setObjectName(QStringLiteral("parameter%1").arg(i + 1));
        connect(s, &ValueSlider::changed, this, [this] { preview(); });
        layout->addWidget(s);
        sliders_[size_t(i)] = s;
    }
    auto* buttons = new QDialogButtonBox(this);
    auto* run = buttons->addButton(QStringLiteral("실행"), QDialogButtonBox::AcceptRole);
    run->setObjectName(QStringLiteral("run"));
    auto* close = buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(&runner_, &FilterRunner::finished, this, &CDlg_Filter::onFinished);

    started_ = BeginAdjustmentPreview(doc, false);
    if (started_) preview();
}

CDlg_Filter::~CDlg_Filter() {
    if (running_) runner_.wait();
    if (started_ && !closing_) CancelAdjustmentPreview(doc_);
}

FilterValues CDlg_Filter::values() const {
    FilterValues v = DefaultFilterValues(id_);
    for (size_t i = 0; i < 3; ++i)
        if (sliders_[i]) v[i] = sliders_[i]->value();
    return v;
}

void CDlg_Filter::preview() {
    if (!started_ || closing_) return;
    if (running_) {
        pending_ = true;
        return;
    }
    auto job = PrepareFilterPreview(doc_, id_, values());
    if (job && runner_.start(doc_, std::move(job))) running_ = true;
}

void CDlg_Filter::onFinished() {
    if (!running_) return;  // another dialog's run
    running_ = false;
    if (committing_) {
        committing_ = false;
        QDialog::accept();
        return;
    }
    if (closing_) return;
    if (pending_) {
        pending_ = false;
        preview();
    }
}

void CDlg_Filter::accept() {
    if (!started_ || closing_) return QDialog::accept();
    closing_ = true;
    if (running_) runner_.wait();
    // The command from the layer as it was: the same route as every other.
    CancelAdjustmentPreview(doc_);
    auto job = PrepareFilter(doc_, id_, values());
    if (job && runner_.start(doc_, std::move(job))) {
        running_ = committing_ = true;
        return;
    }
    QDialog::accept();
}

void CDlg_Filter::reject() {
    if (started_ && !closing_) {
        closing_ = true;
        if (running_) runner_.wait();
        CancelAdjustmentPreview(doc_);
    }
    QDialog::reject();
}

}  // namespace quillet
