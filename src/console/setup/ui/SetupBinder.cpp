#include "console/setup/ui/SetupBinder.h"

#include "bizlib/Clock.h"
#include "bizlib/DateText.h"
#include "console/setup/SetupEditor.h"
#include "console/setup/SetupFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

namespace console::ui {

namespace {

QString dateText(qint32 day)
{
    return bizlib::DateText().day(day);
}

QWidget *row(QWidget *parent, QWidget *main, const QList<QWidget *> &buttons)
{
    auto *w = new QWidget(parent);
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(main, 1);
    w->setFocusProxy(main);
    for (QWidget *b : buttons)
        l->addWidget(b);
    return w;
}

// A spin box whose unit agrees with the number. Typing takes the number with or without
// the unit after it.
class CountSpinBox : public QSpinBox
{
public:
    CountSpinBox(QString one, QString many, QWidget *parent)
        : QSpinBox(parent)
        , m_one(std::move(one))
        , m_many(std::move(many))
    { }

protected:
    QString textFromValue(int value) const override
    {
        return QString::number(value) + u' ' + (value == 1 ? m_one : m_many);
    }
    int valueFromText(const QString &text) const override
    {
        return text == specialValueText() && !text.isEmpty() ? minimum() : digits(text).toInt();
    }
    QValidator::State validate(QString &text, int &) const override
    {
        if (!specialValueText().isEmpty() && text == specialValueText())
            return QValidator::Acceptable;
        const QString number = digits(text);
        const QString rest = text.trimmed().mid(number.size()).trimmed();
        if (!rest.isEmpty() && !m_one.startsWith(rest) && !m_many.startsWith(rest))
            return QValidator::Invalid;
        bool ok = false;
        const int value = number.toInt(&ok);
        if (!ok)
            return number.isEmpty() ? QValidator::Intermediate : QValidator::Invalid;
        return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    }

private:
    static QString digits(const QString &text)
    {
        const QString t = text.trimmed();
        qsizetype n = 0;
        while (n < t.size() && t.at(n).isDigit())
            ++n;
        return t.left(n);
    }

    QString m_one;
    QString m_many;
};

} // namespace

SetupBinder::SetupBinder(SetupEditor &editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
{
    connect(&m_editor, &SetupEditor::valuesChanged, this, &SetupBinder::show);
    connect(&m_editor, &SetupEditor::focusRequested, this, [this](const QString &field) {
        if (QWidget *w = control(field)) {
            Q_EMIT focusWanted(w);
            w->setFocus();
        }
    });
}

void SetupBinder::bind(const QString &field, QWidget *control, QWidget *rowWidget)
{
    Q_ASSERT(SetupField::find(field));
    control->setObjectName(field);
    m_controls.insert(field.toUpper(), control);
    if (rowWidget && rowWidget != control)
        rowWidget->setObjectName(field + QStringLiteral(":row"));
}

QPushButton *SetupBinder::smallButton(const QString &text, const QString &tip, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    // Wide enough for its text, not as wide as a dialog button.
    b->setMaximumWidth(b->fontMetrics().horizontalAdvance(text) + 28);
    return b;
}

QLineEdit *SetupBinder::text(const QString &field, QWidget *parent, bool password)
{
    auto *e = new QLineEdit(parent);
    const SetupField *f = SetupField::find(field);
    if (f && f->width > 0)
        e->setMaxLength(f->width);
    if (password)
        e->setEchoMode(QLineEdit::Password);
    bind(field, e);
    connect(e, &QLineEdit::editingFinished, this, [this, e, field] { m_editor.accept(field, e->text()); });
    return e;
}

QLineEdit *SetupBinder::decimal(const QString &field, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,7}(\\.\\d{0,2})?")), e));
    e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")) + 16);
    bind(field, e);
    connect(e, &QLineEdit::editingFinished, this, [this, e, field] { m_editor.accept(field, e->text()); });
    return e;
}

QWidget *SetupBinder::code(const QString &field, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    const SetupField *f = SetupField::find(field);
    const int width = f && f->width > 0 ? f->width : 9;
    e->setMaxLength(width);
    if (f && f->kind == SetupField::Kind::Number)
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), e));
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QString(std::max(width, 6), u'W')) + 12);
    QPushButton *pick = smallButton(QStringLiteral("..."), tr("Choose from the list"), parent);
    auto *description = new QLabel(parent);
    description->setObjectName(field + QStringLiteral(":description"));
    auto *w = new QWidget(parent);
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(e);
    l->addWidget(pick);
    l->addWidget(description, 1);
    w->setFocusProxy(e);
    bind(field, e, w);
    m_followers[field.toUpper()] << pick << description;
    m_descriptions.insert(field.toUpper(), description);
    // The lookup may open a list: not from inside the focus change that finished the edit.
    connect(e, &QLineEdit::editingFinished, this,
        [this, e, field] { QTimer::singleShot(0, this, [this, e, field] { m_editor.acceptCode(field, e->text()); }); });
    connect(pick, &QPushButton::clicked, this, [this, field] { m_editor.select(field); });
    return w;
}

QWidget *SetupBinder::folder(const QString &field, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    QPushButton *browse = smallButton(QStringLiteral("..."), tr("Select target folder"), parent);
    QWidget *w = row(parent, e, { browse });
    bind(field, e, w);
    connect(e, &QLineEdit::editingFinished, this, [this, e, field] {
        if (!m_editor.acceptFolder(field, e->text()))
            QTimer::singleShot(0, e, [e] { e->setFocus(); });
    });
    connect(browse, &QPushButton::clicked, this, [this, field] { m_editor.chooseFolder(field); });
    return w;
}

QWidget *SetupBinder::sound(const QString &field, QWidget *parent)
{
    QLineEdit *e = text(field, parent);
    QPushButton *browse = smallButton(QStringLiteral("..."), tr("Select sound file"), parent);
    QPushButton *play = smallButton(tr("Play"), tr("Play the sound"), parent);
    play->setObjectName(field + QStringLiteral(":play"));
    connect(browse, &QPushButton::clicked, this, [this, field] { m_editor.chooseSound(field); });
    connect(play, &QPushButton::clicked, this, [this, field] { m_editor.play(field); });
    return row(parent, e, { browse, play });
}

QWidget *SetupBinder::date(const QString &field, QWidget *parent)
{
    const bizlib::DateText dates;
    auto *e = new QLineEdit(parent);
    e->setPlaceholderText(dates.shortDateFormat());
    // Room for the longest date of the format (a long month name, two-digit days).
    const QString widest = dates.shortDate(QDate(2028, 9, 28)) + QStringLiteral("00");
    e->setMaximumWidth(std::max(e->fontMetrics().horizontalAdvance(widest),
                           e->fontMetrics().horizontalAdvance(dates.shortDateFormat()))
        + 24);
    QPushButton *pick = smallButton(QStringLiteral("..."), tr("Choose a date"), parent);
    auto *w = new QWidget(parent);
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(e);
    l->addWidget(pick);
    l->addStretch();
    bind(field, e, w);
    connect(e, &QLineEdit::editingFinished, this, [this, e, field] {
        const QString text = e->text().trimmed();
        const QDate d = bizlib::DateText().parseDate(text);
        if (text.isEmpty() || d.isValid())
            m_editor.accept(field, text.isEmpty() ? 0 : bizlib::DateTime::fromDate(d));
        else
            show(); // not a date: the field shows what it held
    });
    connect(pick, &QPushButton::clicked, this, [this, field] { m_editor.selectDate(field); });
    return w;
}

QCheckBox *SetupBinder::flag(const QString &field, const QString &caption, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    bind(field, c);
    connect(c, &QCheckBox::clicked, this, [this, field](bool on) { m_editor.accept(field, on); });
    return c;
}

QSpinBox *SetupBinder::number(const QString &field, QWidget *parent, const QString &suffix)
{
    auto *s = new QSpinBox(parent);
    const SetupField *f = SetupField::find(field);
    s->setRange(f ? f->minimum : 0, f ? std::min(f->maximum, 999999) : 999999);
    s->setSuffix(suffix);
    s->setMinimumWidth(s->fontMetrics().horizontalAdvance(QStringLiteral("999999") + suffix) + 40);
    s->setMaximumWidth(s->minimumWidth() + 20);
    bind(field, s);
    connect(s, &QSpinBox::editingFinished, this, [this, s, field] { m_editor.accept(field, s->value()); });
    return s;
}

QSpinBox *SetupBinder::count(const QString &field, QWidget *parent, const QString &one, const QString &many)
{
    auto *s = new CountSpinBox(one, many, parent);
    const SetupField *f = SetupField::find(field);
    s->setRange(f ? f->minimum : 0, f ? std::min(f->maximum, 999999) : 999999);
    s->setMinimumWidth(s->fontMetrics().horizontalAdvance(QStringLiteral("999999 ") + many) + 40);
    s->setMaximumWidth(s->minimumWidth() + 20);
    bind(field, s);
    connect(s, &QSpinBox::editingFinished, this, [this, s, field] { m_editor.accept(field, s->value()); });
    return s;
}

QComboBox *SetupBinder::choice(const QString &field, const QStringList &items, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->addItems(items);
    bind(field, c);
    connect(c, &QComboBox::activated, this, [this, c, field] { m_editor.accept(field, c->currentText()); });
    return c;
}

void SetupBinder::showOne(const QString &field, QWidget *control)
{
    const QVariant v = m_editor.value(field);
    const QSignalBlocker block(control);
    if (auto *c = qobject_cast<QCheckBox *>(control)) {
        c->setChecked(v.toBool());
    } else if (auto *s = qobject_cast<QSpinBox *>(control)) {
        s->setValue(v.toInt());
    } else if (auto *c = qobject_cast<QComboBox *>(control)) {
        const QString text = v.toString().trimmed();
        int i = c->findText(text, Qt::MatchFixedString);
        if (i < 0 && !text.isEmpty()) {
            // A value written by another program stays visible and selectable.
            c->addItem(text);
            i = c->count() - 1;
        }
        c->setCurrentIndex(i);
    } else if (auto *e = qobject_cast<QLineEdit *>(control)) {
        const SetupField *f = SetupField::find(field);
        QString text = v.toString();
        if (f && f->kind == SetupField::Kind::Date)
            text = dateText(v.toInt());
        else if (f && f->kind == SetupField::Kind::Number && v.toInt() == 0)
            text.clear();
        if (e->text() != text)
            e->setText(text);
    }
    if (QLabel *description = m_descriptions.value(field.toUpper()))
        description->setText(m_editor.describe(field));
    const bool enabled = m_editor.isEnabled(field);
    control->setEnabled(enabled);
    for (QWidget *w : m_followers.value(field.toUpper()))
        w->setEnabled(enabled);
    const bool required = m_editor.isRequired(field);
    if (control->property("required").toBool() != required) {
        control->setProperty("required", required);
        control->setStyleSheet(required ? QStringLiteral("QLineEdit { background: #fff6cc; }") : QString());
        if (auto *e = qobject_cast<QLineEdit *>(control))
            e->setPlaceholderText(required ? tr("Required") : QString());
    }
}

void SetupBinder::show()
{
    for (auto it = m_controls.constBegin(); it != m_controls.constEnd(); ++it)
        showOne(it.key(), it.value());
}

void SetupBinder::commit()
{
    for (auto it = m_controls.constBegin(); it != m_controls.constEnd(); ++it) {
        auto *e = qobject_cast<QLineEdit *>(it.value());
        const SetupField *f = SetupField::find(it.key());
        if (!e || !f || f->kind == SetupField::Kind::Date)
            continue;
        const QString held = f->kind == SetupField::Kind::Number && m_editor.value(it.key()).toInt() == 0
            ? QString()
            : m_editor.value(it.key()).toString();
        if (e->text() != held)
            m_editor.accept(it.key(), e->text());
    }
}

} // namespace console::ui
