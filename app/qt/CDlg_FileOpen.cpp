#include "app/qt/CDlg_FileOpen.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>

#include "app/ThumbnailLoader.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {
constexpr int kSlots = BrowserPage::kSlots;
constexpr int kColumns = BrowserPage::kColumns;
constexpr int kRows = BrowserPage::kRows;
constexpr int kWheelRows = 2;

QImage toImage(const Picture32& p) {
    QImage image(p.width, p.height, QImage::Format_ARGB32);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(image.scanLine(y), p.bgra.data() + size_t(y) * size_t(p.width) * 4,
                    size_t(p.width) * 4);
    return image;
}
}  // namespace

// The 40 slots, painted from the dialog's entries and thumbnails.
class BrowserPageView : public QWidget {
public:
    explicit BrowserPageView(CDlg_FileOpen& dialog) : QWidget(&dialog), dialog_(dialog) {
        setObjectName(QStringLiteral("page"));
        setMinimumSize(4 * 120, 10 * 64);
        setAutoFillBackground(true);
    }

    QRect slotRect(int slot) const {
        const int w = width() / kColumns, h = height() / kRows;
        return QRect((slot % kColumns) * w, (slot / kColumns) * h, w, h);
    }
    int slotAt(QPoint p) const {
        const int w = std::max(1, width() / kColumns), h = std::max(1, height() / kRows);
        const int column = p.x() / w, row = p.y() / h;
        if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return -1;
        return row * kColumns + column;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().base());
        for (int slot = 0; slot < kSlots; ++slot) paintSlot(painter, slot);
    }

    void mousePressEvent(QMouseEvent* e) override {
        const int slot = slotAt(e->position().toPoint());
        if (slot < 0 || e->button() != Qt::LeftButton) return;
        dialog_.clickEntry(dialog_.firstRow() * kColumns + slot,
                           e->modifiers().testFlag(Qt::ControlModifier));
    }

    void mouseDoubleClickEvent(QMouseEvent* e) override {
        const int slot = slotAt(e->position().toPoint());
        const int index = dialog_.firstRow() * kColumns + slot;
        if (slot < 0 || index >= int(dialog_.entries().size())) return;
        if (!dialog_.entries()[size_t(index)].folder && !dialog_.chosenFiles().isEmpty())
            dialog_.accept();
    }

    void wheelEvent(QWheelEvent* e) override {
        const int steps = e->angleDelta().y() / 120;
        if (steps) dialog_.scrollToRow(dialog_.firstRow() - steps * kWheelRows);
    }

private:
    void paintSlot(QPainter& painter, int slot) {
        const int index = dialog_.firstRow() * kColumns + slot;
        const QRect r = slotRect(slot).adjusted(3, 3, -3, -3);
        if (index >= int(dialog_.entries().size())) return;
        const BrowserEntry& e = dialog_.entries()[size_t(index)];
        const QString name = QString::fromStdString(e.name);
        const bool bold = dialog_.slotIsBold(slot);
        QFont font = painter.font();
        font.setBold(bold);
        painter.setFont(font);
        const int line = painter.fontMetrics().height();
        const QRect picture(r.left(), r.top(), r.width(), std::max(8, r.height() - 2 * line - 2));
        const QRect nameRect(r.left(), picture.bottom() + 2, r.width(), line);
        const QRect sizeRect(r.left(), nameRect.bottom() + 1, r.width(), line);

        painter.setPen(bold ? palette().highlight().color() : palette().mid().color());
        painter.drawRect(r);
        painter.setPen(palette().text().color());
        if (e.folder) {
            // A folder: a tab and a body, then its name.
            const QRect body = QRect(0, 0, picture.height() * 4 / 3, picture.height() * 3 / 4)
                                   .translated(picture.center() - QPoint(picture.height() * 2 / 3,
                                                                         picture.height() * 3 / 8));
            painter.fillRect(body.adjusted(0, 0, -body.width() / 2, -body.height() * 3 / 4)
                                 .translated(0, -body.height() / 6),
                             QColor(0xE0, 0xB0, 0x40));
            painter.fillRect(body, QColor(0xF0, 0xC8, 0x50));
            painter.drawText(nameRect, Qt::AlignCenter, QStringLiteral("[%1]").arg(name));
            return;
        }
        bool failed = false;
        QString size;
        const QImage image = dialog_.thumbnailFor(dialog_.pathOf(index), &failed, &size);
        if (failed) {
            // The file could not be read: a stand-in, and still its name.
            const QRect box = picture.adjusted(picture.width() / 4, 4, -picture.width() / 4, -4);
            painter.fillRect(box, palette().alternateBase());
            painter.setPen(QPen(palette().mid().color(), 2));
            painter.drawLine(box.topLeft(), box.bottomRight());
            painter.drawLine(box.topRight(), box.bottomLeft());
            painter.setPen(palette().text().color());
        } else if (!image.isNull()) {
            const QSize fitted = image.size().scaled(picture.size(), Qt::KeepAspectRatio);
            const QSize shown =
                image.width() <= picture.width() && image.height() <= picture.height()
                    ? image.size()
                    : fitted;
            const QRect target(picture.center() - QPoint(shown.width() / 2, shown.height() / 2),
                               shown);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, image);
        }
        const QString elided =
            painter.fontMetrics().elidedText(name, Qt::ElideMiddle, nameRect.width());
        painter.drawText(nameRect, Qt::AlignCenter, elided);
        painter.drawText(sizeRect, Qt::AlignCenter, size);
    }

    CDlg_FileOpen& dialog_;
};

CDlg_FileOpen::CDlg_FileOpen(ThumbnailLoader& thumbnails, UserPort& user, const QString& folder,
                             QWidget* parent)
    : QDialog(parent), thumbnails_(thumbnails), user_(user) {
    setWindowTitle(QStringLiteral("Quillet 파일 보기창"));
    setObjectName(QStringLiteral("CDlg_FileOpen"));

    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName(QStringLiteral("folder"));
    auto* up = new QPushButton(QStringLiteral("위로"), this);
    up->setObjectName(QStringLiteral("up"));
    up->setAutoDefault(false);
    connect(up, &QPushButton::clicked, this, [this] {
        QDir dir(folder_);
        if (dir.cdUp()) setFolder(dir.absolutePath());
    });
    auto* find = new QPushButton(QStringLiteral("폴더 찾기"), this);
    find->setObjectName(QStringLiteral("findFolder"));
    find->setAutoDefault(false);
    connect(find, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, QStringLiteral("폴더 찾기"), folder_);
        if (!chosen.isEmpty()) setFolder(chosen);
    });
    typeBox_ = new QComboBox(this);
    typeBox_->setObjectName(QStringLiteral("type"));
    for (std::string_view name : kBrowserTypeNames)
        typeBox_->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    connect(typeBox_, &QComboBox::currentIndexChanged, this,
            [this](int index) { setType(BrowserType(index)); });

    page_ = new BrowserPageView(*this);
    rows_ = new QScrollBar(Qt::Vertical, this);
    rows_->setObjectName(QStringLiteral("rows"));
    rows_->setPageStep(kRows);
    connect(rows_, &QScrollBar::valueChanged, this, [this](int row) { scrollToRow(row); });
    emptyNote_ = new QLabel(QStringLiteral("현재 폴더에 이미지 파일 없음"), this);
    emptyNote_->setObjectName(QStringLiteral("emptyNote"));
    emptyNote_->setAlignment(Qt::AlignCenter);

    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("취소"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(up);
    top->addWidget(find);
    top->addWidget(folderLabel_, 1);
    top->addWidget(typeBox_);
    auto* middle = new QHBoxLayout;
    middle->addWidget(page_, 1);
    middle->addWidget(rows_);
    auto* bottom = new QHBoxLayout;
    auto* hints = new QVBoxLayout;
    hints->addWidget(new QLabel(QStringLiteral("Ctrl 버튼 누른 상태에서 멀티 선택"), this));
    hints->addWidget(new QLabel(QStringLiteral(" [파일창 종류,출현]은 [환경설정]에서 변경"), this));
    bottom->addLayout(hints, 1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(emptyNote_);
    layout->addLayout(bottom);
    resize(720, 900);

    // Each thumbnail is handed to the window's thread as it is ready.
    QPointer<CDlg_FileOpen> self(this);
    thumbnails_.SetListener([self](const std::string& path) {
        if (!self) return;
        QMetaObject::invokeMethod(
            self,
            [self, p = QString::fromStdString(path)] {
                if (self) self->thumbnailReady(p);
            },
            Qt::QueuedConnection);
    });
    setFolder(QFileInfo(folder).isDir() ? QFileInfo(folder).absoluteFilePath()
                                        : QDir::currentPath());
}

CDlg_FileOpen::~CDlg_FileOpen() {
    thumbnails_.SetListener({});
    thumbnails_.CancelPending();
}

void CDlg_FileOpen::setFolder(const QString& folder) {
    folder_ = QDir(folder).absolutePath();
    refresh();
}

void CDlg_FileOpen::setType(BrowserType type) {
    type_ = type;
    if (typeBox_->currentIndex() != int(type)) typeBox_->setCurrentIndex(int(type));
    refresh();
}

void CDlg_FileOpen::refresh() {
    thumbnails_.CancelPending();
    images_.clear();
    entries_ = ListBrowserFolder(QFile::encodeName(folder_).toStdString(), type_);
    folderLabel_->setText(folder_);
    const bool noPictures = std::none_of(entries_.begin(), entries_.end(),
                                         [](const BrowserEntry& e) { return !e.folder; });
    emptyNote_->setVisible(noPictures);
    const int last = BrowserPage::LastFirstRow(int(entries_.size()));
    {
        const QSignalBlocker block(rows_);
        rows_->setRange(0, last);
        rows_->setValue(0);
    }
    firstRow_ = 0;
    requestVisible();
    page_->update();
}

QString CDlg_FileOpen::pathOf(int index) const {
    return QDir(folder_).filePath(QString::fromStdString(entries_[size_t(index)].name));
}

void CDlg_FileOpen::scrollToRow(int row) {
    row = std::clamp(row, 0, BrowserPage::LastFirstRow(int(entries_.size())));
    if (row == firstRow_) return;
    firstRow_ = row;
    {
        const QSignalBlocker block(rows_);
        rows_->setValue(row);
    }
    requestVisible();
    page_->update();
}

// The page's files go to the loader ahead of everything asked before.
void CDlg_FileOpen::requestVisible() {
    std::vector<std::string> paths;
    for (int slot = 0; slot < kSlots; ++slot) {
        const int index = firstRow_ * kColumns + slot;
        if (index >= int(entries_.size())) break;
        if (!entries_[size_t(index)].folder)
            paths.push_back(QFile::encodeName(pathOf(index)).toStdString());
    }
    thumbnails_.Request(paths);
}

void CDlg_FileOpen::thumbnailReady(const QString& path) {
    images_.remove(path);
    page_->update();
}

QImage CDlg_FileOpen::thumbnailFor(const QString& path, bool* failed, QString* sizeLabel) {
    *failed = false;
    const auto t = thumbnails_.Find(QFile::encodeName(path).toStdString());
    if (!t) return {};
    if (!t->ok) {
        *failed = true;
        return {};
    }
    *sizeLabel = QString::fromStdString(BrowserSizeLabel(t->width, t->height));
    auto it = images_.find(path);
    if (it == images_.end()) it = images_.insert(path, toImage(t->picture));
    return *it;
}

void CDlg_FileOpen::clickEntry(int index, bool control) {
    if (index < 0 || index >= int(entries_.size())) return;
    const BrowserEntry& e = entries_[size_t(index)];
    if (e.folder) {
        setFolder(pathOf(index));
        return;
    }
    const std::string path = QFile::encodeName(pathOf(index)).toStdString();
    if (selection_.Click(path, control) == BrowserSelection::Result::Full)
        user_.showMessage(BrowserSelection::LimitMessage(), MessageIcon::Warning);
    page_->update();
}

bool CDlg_FileOpen::slotIsBold(int slot) const {
    const int index = firstRow_ * kColumns + slot;
    if (index < 0 || index >= int(entries_.size()) || entries_[size_t(index)].folder) return false;
    return selection_.Contains(QFile::encodeName(pathOf(index)).toStdString());
}

QStringList CDlg_FileOpen::chosenFiles() const {
    QStringList out;
    for (const std::string& f : selection_.Files()) out << QFile::decodeName(f.c_str());
    return out;
}

}  // namespace quillet
