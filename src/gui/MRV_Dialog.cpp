#include "gui/MRV_Dialog.h"

#include "interaction/MRV_Interaction.h"
#include "tsframework/CTSBSTR.h"
#include "tsframework/CTSStringTable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>

#include <algorithm>

MRV_Dialog::MRV_Dialog(quint32 titleId, QWidget* parent) : QDialog(parent) {
    setLayoutDirection(MRV_layoutDirection());
    setWindowTitle(text(titleId));
    setAccessibleName(windowTitle());
}

QString MRV_Dialog::text(quint32 id) const {
    return CTSBSTR::load(id, language());
}

int MRV_Dialog::language() const {
    return MRV_Interaction::current().language();
}

void MRV_Dialog::name(QWidget* widget, int id, const QString& text) {
    widget->setObjectName(QStringLiteral("ctl%1").arg(id));
    if (text.isNull())
        return;
    // A text from the tables is shown as it is: "&" is no mnemonic there.
    QString shown = text;
    shown.replace(u'&', QStringLiteral("&&"));
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(shown);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(shown);
    widget->setAccessibleName(text);
}

void MRV_Dialog::finish() {
    // In the order the user tabs through them, so the first controls get
    // their first letters.
    QList<QWidget*> marked;
    QStringList texts;
    for (QWidget* widget = nextInFocusChain(); widget && widget != this;
         widget = widget->nextInFocusChain()) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            marked << button;
            texts << button->text();
        }
    }
    for (QLabel* label : findChildren<QLabel*>())
        if (label->buddy()) {
            marked << label;
            texts << label->text();
        }
    QList<quint32> ids;
    for (QWidget* widget : marked)
        ids << widget->property("textId").toUInt();
    const QStringList withMnemonics = MRV_withMnemonics(texts, ids);
    for (qsizetype i = 0; i < marked.size(); ++i) {
        if (auto* button = qobject_cast<QAbstractButton*>(marked[i]))
            button->setText(withMnemonics[i]);
        else
            static_cast<QLabel*>(marked[i])->setText(withMnemonics[i]);
    }
    m_initializing = false;
}

void MRV_Dialog::nameById(QWidget* widget, int id, quint32 textId) {
    name(widget, id, textId ? text(textId) : QString());
    // The mnemonic of a text of composed letters follows its English text.
    if (textId)
        widget->setProperty("textId", textId);
}

QDialogButtonBox* MRV_Dialog::okCancel(bool withCancel) {
    auto* box = new QDialogButtonBox(this);
    m_ok = box->addButton(QString(), QDialogButtonBox::AcceptRole);
    nameById(m_ok, 1, 1);
    static_cast<QPushButton*>(m_ok)->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    if (withCancel) {
        m_cancel = box->addButton(QString(), QDialogButtonBox::RejectRole);
        nameById(m_cancel, 2, 2);
        connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    return box;
}

QLayout* MRV_Dialog::buttonRow(QWidget* left, bool withCancel) {
    auto* row = new QHBoxLayout;
    if (left)
        row->addWidget(left);
    row->addStretch();
    row->addWidget(okCancel(withCancel));
    return row;
}

void MRV_Dialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

namespace {

// A letter a keyboard types without an input method: ideographs, kana and
// hangul are composed, so a text of only those gets a Latin mnemonic
// after it, "ファイル(&F)", as such programs show it.
bool typeable(QChar c) {
    if (!c.isLetterOrNumber())
        return false;
    if (c.unicode() < 128)
        return true;
    switch (c.script()) {
    case QChar::Script_Common: // the long vowel mark "ー", full-width digits
    case QChar::Script_Inherited:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return false;
    default:
        return true;
    }
}

// The "(&X)" a text of composed letters was given, or -1.
qsizetype appendedMnemonic(const QString& text) {
    const qsizetype at = text.size() - 4;
    return at >= 0 && text[at] == u'(' && text[at + 1] == u'&' && text[at + 2].isLetterOrNumber() &&
                   text[at + 2].unicode() < 128 && text[at + 3] == u')'
               ? at
               : -1;
}

} // namespace

QString MRV_plainText(QString text) {
    if (const qsizetype at = appendedMnemonic(text); at >= 0)
        text.truncate(at);
    // "&&" stands for one "&"; a lone "&" marks the mnemonic.
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

QStringList MRV_withMnemonics(const QStringList& texts, const QList<quint32>& ids) {
    const auto hasMnemonic = [](const QString& text) {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != u'&')
                continue;
            if (text[i + 1] != u'&')
                return i + 1;
            ++i;
        }
        return qsizetype(-1);
    };
    QSet<QChar> taken;
    for (const QString& text : texts)
        if (const qsizetype at = hasMnemonic(text); at >= 0)
            taken.insert(text[at].toLower());
    QStringList result;
    for (qsizetype at = 0; at < texts.size(); ++at) {
        const QString& text = texts[at];
        if (hasMnemonic(text) >= 0 || text.isEmpty()) {
            result << text;
            continue;
        }
        QString marked = text;
        marked.replace(u'&', QStringLiteral("&&"));
        bool found = false;
        for (qsizetype i = 0; i < marked.size() && !found; ++i) {
            const QChar c = marked[i].toLower();
            if (marked[i] == u'&') {
                ++i; // an escaped "&&"
                continue;
            }
            if (typeable(c) && !taken.contains(c)) {
                taken.insert(c);
                marked.insert(i, u'&');
                found = true;
            }
        }
        const bool composed =
            std::none_of(text.begin(), text.end(), typeable) &&
            std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
        // The letter the English text would take, where it is free: the
        // key users of the English program know.
        const QString english =
            at < ids.size() && ids[at] ? CTSBSTR::load(ids[at], CTSBSTR::English) : QString();
        const QString letters = english.toLower() + QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        for (qsizetype i = 0; composed && !found && i < letters.size(); ++i) {
            const QChar c = letters[i];
            if (c.unicode() < 128 && c.isLetter() && !taken.contains(c)) {
                taken.insert(c);
                marked += QStringLiteral("(&%1)").arg(c.toUpper());
                found = true;
            }
        }
        result << marked;
    }
    return result;
}

Qt::LayoutDirection MRV_layoutDirection() {
    return CTSStringTable::isRightToLeft(MRV_Interaction::current().language()) ? Qt::RightToLeft
                                                                                : Qt::LeftToRight;
}

void MRV_selectRow(QAbstractItemView* view, int row) {
    const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
}
