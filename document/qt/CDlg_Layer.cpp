#include "document/qt/CDlg_Layer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "document/CBrevDoc.h"
#include "document/LayerListRows.h"
#include "document/LayerOps.h"
#include "document/qt/LayerRowList.h"

namespace quillet {

namespace {

QString toQString(std::u16string_view s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

// The history row's icon (25 × 23), one picture per kind of step.
QIcon StepIcon(int kind) {
    struct Look {
        QColor colour;
        const char* mark;
    };
    static const Look kLooks[] = {
        {QColor(70, 110, 180), "✎"},   // pixel edits
        {QColor(180, 70, 70), "−"},    // delete
        {QColor(60, 150, 80), "+"},    // add
        {QColor(60, 150, 150), "⎘"},   // paste
        {QColor(150, 100, 40), "T"},   // text changed
        {QColor(150, 100, 40), "T+"},  // new text
        {QColor(120, 80, 160), "⇅"},   // place in the stack
        {QColor(90, 90, 90), "⤢"},     // canvas size
        {QColor(90, 90, 90), "▤"},     // flatten
        {QColor(120, 80, 160), "⊕"},   // merge
        {QColor(90, 90, 90), "↻"},     // rotate
    };
    const Look& look = kLooks[kind >= 0 && kind < int(std::size(kLooks)) ? kind : 0];
    QPixmap pixmap(25, 23);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(look.colour);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 23, 21), 4, 4);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, 0, 25, 23), Qt::AlignCenter, QString::fromUtf8(look.mark));
    return QIcon(pixmap);
}

}  // namespace

CDlg_Layer::CDlg_Layer(QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("CDlg_Layer"));
    setWindowTitle(QStringLiteral("      레이어창"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                QDockWidget::DockWidgetClosable);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    canvas_ = new QLabel(body);
    canvas_->setObjectName(QStringLiteral("canvasSize"));
    collapse_ = new QToolButton(body);
    collapse_->setObjectName(QStringLiteral("collapse"));
    top->addWidget(canvas_, 1);
    top->addWidget(collapse_);
    layout->addLayout(top);

    rows_ = new LayerRowList(body);
    auto* scroll = new QScrollArea(body);
    scroll->setWidget(rows_);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumHeight(LayerRowList::kRowHeight * 4);
    layout->addWidget(scroll, 2);

    auto* transparency = new QHBoxLayout;
    transparency->addWidget(new QLabel(QStringLiteral("투명도"), body));
    slider_ = new QSlider(Qt::Horizontal, body);
    slider_->setObjectName(QStringLiteral("transparency"));
    slider_->setRange(0, 255);
    edit_ = new QLineEdit(body);
    edit_->setObjectName(QStringLiteral("transparencyValue"));
    edit_->setValidator(new QIntValidator(0, 255, edit_));
    edit_->setMaximumWidth(44);
    transparency->addWidget(slider_, 1);
    transparency->addWidget(edit_);
    layout->addLayout(transparency);

    blend_ = new QComboBox(body);
    blend_->setObjectName(QStringLiteral("blendMode"));
    for (const BlendEntry& e : BlendEntries()) blend_->addItem(toQString(e.name));
    layout->addWidget(blend_);

    historyBox_ = new QWidget(body);
    auto* historyLayout = new QVBoxLayout(historyBox_);
    historyLayout->setContentsMargins(0, 0, 0, 0);
    historyLayout->addWidget(new QLabel(QStringLiteral("작업내역"), historyBox_));
    history_ = new QListWidget(historyBox_);
    history_->setObjectName(QStringLiteral("history"));
    history_->setIconSize(QSize(25, 23));
    historyLayout->addWidget(history_);
    layout->addWidget(historyBox_, 1);
    setWidget(body);

    connect(slider_, &QSlider::valueChanged, this, &CDlg_Layer::transparencyChosen);
    connect(edit_, &QLineEdit::editingFinished, this,
            [this] { transparencyChosen(edit_->text().toInt()); });
    connect(blend_, &QComboBox::activated, this, &CDlg_Layer::blendChosen);
    connect(history_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { historyChosen(history_->row(item)); });
    connect(collapse_, &QToolButton::clicked, this, [this] { setCollapsed(!collapsed_); });
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(0);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { refreshNow(); });
    setCollapsed(false);
    refreshNow();
}

CDlg_Layer::~CDlg_Layer() {
    if (doc_) doc_->RemoveObserver(this);
}

void CDlg_Layer::setDocument(CBrevDoc* doc) {
    if (doc == doc_) return;
    if (doc_) doc_->RemoveObserver(this);
    doc_ = doc;
    if (doc_) doc_->AddObserver(this);
    rows_->setDocument(doc_);
    refreshNow();
}

void CDlg_Layer::setContextMenuFactory(std::function<QMenu*(QWidget*)> factory) {
    rows_->setContextMenuFactory(std::move(factory));
}

void CDlg_Layer::setTextEditor(std::function<void(CBrevDoc&, int)> editor) {
    rows_->setTextEditor(std::move(editor));
}

void CDlg_Layer::setCollapsed(bool collapsed) {
    collapsed_ = collapsed;
    historyBox_->setVisible(!collapsed);
    collapse_->setText(collapsed ? QStringLiteral("늘린창") : QStringLiteral("줄인창"));
}

void CDlg_Layer::scheduleRefresh() {
    if (!refreshTimer_.isActive()) refreshTimer_.start();
}

int CDlg_Layer::refreshNow() {
    refreshTimer_.stop();
    canvas_->setText(doc_ ? toQString(CanvasCaption(doc_->Layers())) : QString());
    const int made = rows_->refresh();
    refreshControls();
    refreshHistory();
    return made;
}

void CDlg_Layer::refreshControls() {
    const QSignalBlocker a(slider_), b(edit_), c(blend_);
    const bool listed = doc_ && doc_->Layers().InList(doc_->CurrentLayer());
    slider_->setEnabled(listed);
    edit_->setEnabled(listed);
    blend_->setEnabled(listed);
    if (!listed) return;
    const Layer& l = doc_->Layers().layer(doc_->CurrentLayer());
    slider_->setValue(l.transparency);
    edit_->setText(QString::asprintf("%d", int(l.transparency)));
    blend_->setCurrentIndex(BlendEntryIndex(l.Blend()));
}

void CDlg_Layer::refreshHistory() {
    const QSignalBlocker block(history_);
    history_->clear();
    if (!doc_) return;
    // Rows run from the current step down to 0; each names the step it returns to.
    for (const HistoryRow& row : doc_->Journal().HistoryRows()) {
        auto* item = new QListWidgetItem(StepIcon(int(row.kind)), toQString(row.text), history_);
        item->setData(Qt::UserRole, row.step);
    }
    if (history_->count() > 0) history_->setCurrentRow(0);
}

void CDlg_Layer::transparencyChosen(int value) {
    if (!doc_) return;
    const int v = std::clamp(value, 0, 255);
    SetLayerTransparency(*doc_, doc_->CurrentLayer(), v);
    const QSignalBlocker a(slider_), b(edit_);
    slider_->setValue(v);
    edit_->setText(QString::asprintf("%d", v));
}

void CDlg_Layer::blendChosen(int index) {
    const auto entries = BlendEntries();
    if (!doc_ || index < 0 || size_t(index) >= entries.size()) return;
    SetLayerBlendMode(*doc_, doc_->CurrentLayer(), entries[size_t(index)].mode);
}

void CDlg_Layer::historyChosen(int row) {
    if (!doc_ || row < 0) return;
    const int step = history_->item(row)->data(Qt::UserRole).toInt();
    if (step >= 0) GoToHistoryStep(*doc_, step);
    // The views and the list follow the document's notifications.
}

}  // namespace quillet
