#include "notes/ui/PhraseTools.h"

#include "bizlib/Prompter.h"
#include "bizlib/TableListModel.h"
#include "bizlib/ui/WidgetForms.h"
#include "bizlib/ui/WindowFront.h"
#include "config/TraceLog.h"
#include "config/WindowSettings.h"
#include "notes/PhraseDragFormat.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDrag>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace notes::ui {

namespace {

// The list as a drag source: a press and a move past the drag distance asks the toolbox to drag
// the current row (the rows of the list are not items that Qt would drag by itself).
class PhraseListView : public QTableView
{
public:
    using QTableView::QTableView;
    std::function<void()> dragRequested;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        QTableView::mousePressEvent(event);
        m_pressed = event->button() == Qt::LeftButton;
        m_pressPos = event->position().toPoint();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (m_pressed && (event->buttons() & Qt::LeftButton)
            && (event->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_pressed = false;
            if (dragRequested)
                dragRequested();
            return;
        }
        QTableView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        m_pressed = false;
        QTableView::mouseReleaseEvent(event);
    }

private:
    bool m_pressed = false;
    QPoint m_pressPos;
};

constexpr int kChangePollMs = 2000;

} // namespace

PhraseTools *PhraseTools::start(
    config::AppContext &ctx, const QString &group, const QString &field, const QWidget *near)
{
    if (QObject *running = PhraseToolbox::running(ctx)) {
        QMetaObject::invokeMethod(running, "bringToFront");
        return qobject_cast<PhraseTools *>(running);
    }
    auto *tools = new PhraseTools(ctx);
    tools->m_box->start(tools, group, field);
    tools->open(near);
    return tools;
}

PhraseTools::PhraseTools(config::AppContext &ctx)
    : QWidget(nullptr, Qt::Tool)
    , m_procedure(ctx.trace, QString::fromLatin1(ProcedureName))
    , m_ctx(ctx)
    , m_box(std::make_unique<PhraseToolbox>(ctx))
    , m_tabs(new QTabBar(this))
    , m_list(new PhraseListView(this))
    , m_title(new QLineEdit(this))
    , m_text(new QPlainTextEdit(this))
    , m_type(new QComboBox(this))
    , m_new(new QPushButton(tr("&New phrase"), this))
    , m_error(new QLabel(this))
{
    setObjectName(QString::fromLatin1(ProcedureName));
    setAttribute(Qt::WA_DeleteOnClose);
    // The toolbox opens beside a processing window: it must not take the focus from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tr("Phrase toolbox"));

    m_tabs->addTab(tr("Linked"));
    m_tabs->addTab(tr("All"));
    m_tabs->setExpanding(false);

    m_list->setModel(&m_box->list());
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(22);
    // The text takes the room left by the title and the field.
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->setToolTip(tr("Click on selected phrase, then DRAG and DROP to text field"));
    static_cast<PhraseListView *>(m_list)->dragRequested = [this] { startDrag(); };

    m_title->setReadOnly(true);
    m_text->setReadOnly(true);
    m_text->setMaximumHeight(m_text->fontMetrics().lineSpacing() * 5);
    m_type->addItems(PhraseToolbox::typeList());
    m_new->setToolTip(tr("Add a phrase to the group shown"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #A00000;"));
    m_error->hide();

    auto *details = new QFormLayout;
    details->addRow(tr("Title:"), m_title);
    details->addRow(tr("Text:"), m_text);
    auto *bottom = new QHBoxLayout;
    auto *typeLabel = new QLabel(tr("&Type:"), this);
    typeLabel->setBuddy(m_type);
    bottom->addWidget(typeLabel);
    bottom->addWidget(m_type, 1);
    bottom->addWidget(m_new);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_tabs);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_error);
    layout->addLayout(details);
    layout->addLayout(bottom);

    connect(m_tabs, &QTabBar::currentChanged, this, [this] { resetList(); });
    connect(m_type, &QComboBox::activated, this, [this] {
        m_box->setGroup(m_type->currentText());
        resetList();
    });
    connect(m_new, &QPushButton::clicked, this, &PhraseTools::newPhrase);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &PhraseTools::showCurrent);
    connect(&m_box->list(), &QAbstractItemModel::modelReset, this, &PhraseTools::showCurrent);

    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &PhraseTools::checkChanges);
    m_poll->start(kChangePollMs);
}

PhraseTools::~PhraseTools()
{
    finish();
}

void PhraseTools::open(const QWidget *near)
{
    showGroup();
    resetList();
    const QByteArray geometry = m_ctx.paths.windowIni.isEmpty()
        ? QByteArray()
        : config::WindowSettings(m_ctx.paths.windowIni).geometry(QString::fromLatin1(ProcedureName));
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        resize(460, 480);
        const QScreen *screen = near ? near->screen() : QGuiApplication::primaryScreen();
        if (screen)
            move(screen->availableGeometry().center() - rect().center());
    }
    show();
    // Started for the modal window open now (a processing window waits for it): beside that.
    if (QWidget *asking = QApplication::activeModalWidget())
        placeBeside(asking);
}

PhraseToolbox::Tab PhraseTools::tab() const
{
    return m_tabs->currentIndex() == 1 ? PhraseToolbox::Tab::All : PhraseToolbox::Tab::Linked;
}

void PhraseTools::showGroup()
{
    const QString group = m_box->group();
    int i = m_type->findText(group, Qt::MatchFixedString);
    if (i < 0) {
        // A group chosen by the caller outside the type list is still the one shown.
        m_type->addItem(group);
        i = m_type->count() - 1;
    }
    m_type->setCurrentIndex(i);
    m_box->list().setColumnTitle(0, m_box->heading());
}

void PhraseTools::resetList()
{
    const bizlib::Status st = m_box->reset(tab());
    m_error->setVisible(!st);
    m_error->setText(st ? QString() : st.message());
    if (m_box->list().rowCount() > 0)
        m_list->setCurrentIndex(m_box->list().index(0, 0));
    for (const int column : { 0, 2 }) {
        m_list->resizeColumnToContents(column);
        m_list->setColumnWidth(column, std::min(m_list->columnWidth(column), column == 0 ? 200 : 100));
    }
}

void PhraseTools::showCurrent()
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || current.row() >= m_box->list().rowCount()) {
        m_title->clear();
        m_text->clear();
        return;
    }
    const bizlib::Record &phrase = m_box->list().record(current.row());
    m_title->setText(phrase.text("PhraseTitle"));
    m_text->setPlainText(phrase.text("PhraseText"));
}

std::unique_ptr<QMimeData> PhraseTools::dragData() const
{
    const QModelIndex current = m_list->currentIndex();
    const qint32 id = current.isValid() && current.row() < m_box->list().rowCount()
        ? m_box->list().record(current.row()).toLong("PhraseID")
        : 0;
    QString text;
    if (!m_box->dragText(id, &text) || text.isEmpty())
        return nullptr;
    return PhraseDragFormat::mimeData(text);
}

void PhraseTools::startDrag()
{
    std::unique_ptr<QMimeData> data = dragData();
    if (!data)
        return;
    // The drag shows the phrase's title under the pointer.
    const QString title = m_title->text().left(40);
    const QFontMetrics fm(font());
    QPixmap picture(fm.horizontalAdvance(title) + 12, fm.height() + 8);
    picture.fill(QColor(0xF5, 0xDD, 0xAF));
    {
        QPainter p(&picture);
        p.setPen(QColor(0x00, 0x00, 0x80));
        p.drawText(picture.rect(), Qt::AlignCenter, title);
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(data.release());
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(-8, -8));
    drag->exec(Qt::CopyAction);
}

void PhraseTools::newPhrase()
{
    bizlib::ui::WidgetForms dialogs(this, m_ctx.trace);
    bizlib::Status error;
    bizlib::Record phrase;
    const auto response = m_box->newPhrase(m_forms ? *m_forms : dialogs, &phrase, &error);
    if (!error && m_ctx.prompter)
        m_ctx.prompter->alert(error.message(), windowTitle(), bizlib::Prompter::Icon::Hand);
    if (response != bizlib::forms::Response::Completed)
        return;
    resetList();
    // The new phrase becomes the current row when the list shows it.
    for (int row = 0; row < m_box->list().rowCount(); ++row) {
        if (m_box->list().record(row).toLong("PhraseID") == phrase.toLong("PhraseID")) {
            m_list->setCurrentIndex(m_box->list().index(row, 0));
            break;
        }
    }
}

void PhraseTools::checkChanges()
{
    if (m_box->phrasesChanged())
        resetList();
}

void PhraseTools::placeBeside(QWidget *window)
{
    constexpr int kGap = 8;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    QRect form = window->frameGeometry();
    QRect mine = frameGeometry();
    if (screen && isVisible() && mine.intersects(form)) {
        const QRect room = screen->availableGeometry();
        // The frame around the toolbox's contents, which resize() does not count.
        const int frame = mine.width() - width();
        int wide = mine.width();
        const auto top = [&room](const QRect &r, int height) {
            return std::clamp(r.top(), room.top(), std::max(room.top(), room.bottom() - height));
        };
        QPoint to;
        if (form.right() + kGap + wide <= room.right()) {
            to = QPoint(form.right() + kGap, top(form, mine.height()));
        } else if (form.left() - kGap - wide >= room.left()) {
            to = QPoint(form.left() - kGap - wide, top(form, mine.height()));
        } else {
            // Not beside it where it stands: the form goes left, the toolbox takes the rest,
            // narrowed as far as it can be.
            wide = std::clamp(room.width() - form.width() - kGap, std::min(wide, kNarrowest), wide);
            const int left = std::max(room.left(), room.left() + (room.width() - form.width() - kGap - wide) / 2);
            if (left != form.left()) {
                window->move(left, form.top());
                form.moveLeft(left);
            }
            to = QPoint(std::min(form.right() + kGap, room.right() - wide), top(form, mine.height()));
        }
        if (wide != mine.width())
            resize(wide - frame, height());
        move(to);
    }
    // A window of the window's own: the window manager keeps it above that window and raises it
    // with it, and a modal window does not block what belongs to it. Window managers read this
    // when a window is shown.
    QWindow *own = windowHandle();
    QWindow *theirs = window->windowHandle();
    if (own && theirs && own->transientParent() != theirs) {
        const bool shown = isVisible();
        hide();
        own->setTransientParent(theirs);
        if (shown)
            show();
    }
    raise();
}

void PhraseTools::bringToFront()
{
    bizlib::ui::bringToFront(this);
}

void PhraseTools::phraseFieldChanged()
{
    showGroup();
    resetList();
}

void PhraseTools::closeEvent(QCloseEvent *event)
{
    finish();
    QWidget::closeEvent(event);
}

void PhraseTools::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_poll->stop();
    m_box->end();
    if (!m_ctx.paths.windowIni.isEmpty())
        config::WindowSettings(m_ctx.paths.windowIni, m_ctx.trace)
            .setGeometry(QString::fromLatin1(ProcedureName), saveGeometry());
}

} // namespace notes::ui
