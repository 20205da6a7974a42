#pragma once

#include <QDialog>
#include <QString>

class QAbstractButton;
class QAbstractItemView;
class QDialogButtonBox;

// A dialog of the program. Its texts are loaded by string id in the host's
// current language when it is made; every control that has an id is named
// "ctl<id>", and its accessible name is its visible text, so tests and
// assistive tools find it. It comes to the front when shown. While it sets
// itself up (initializing()) its own notifications are to be ignored.
class MRV_Dialog : public QDialog {
public:
    MRV_Dialog(quint32 titleId, QWidget* parent);

    // The text of a string id in the host's current language.
    QString text(quint32 id) const;
    int language() const;

    // Gives widget its id's name and the text (when not null) as its
    // visible text and accessible name. Labels, buttons, check boxes and
    // radio buttons show it; other widgets get it as accessible name only.
    static void name(QWidget* widget, int id, const QString& text = QString());
    // The same with text loaded by id.
    void nameById(QWidget* widget, int id, quint32 textId);
    // Makes a widget of type W, child of this dialog, named as name() does.
    template <typename W> W* control(int id, quint32 textId = 0) {
        auto* widget = new W(this);
        nameById(widget, id, textId);
        return widget;
    }

    // OK (ctl1) and Cancel (ctl2, unless withCancel is false), with the
    // texts of strings 1 and 2; accept() and reject() are wired to them.
    QDialogButtonBox* okCancel(bool withCancel = true);
    // The row under a dialog's fields: a button of its own on the left
    // (when given), OK and Cancel on the right.
    QLayout* buttonRow(QWidget* left, bool withCancel = true);
    QAbstractButton* okButton() const { return m_ok; }
    QAbstractButton* cancelButton() const { return m_cancel; }

    bool initializing() const { return m_initializing; }

protected:
    // The end of setting up: every button and every label that names a
    // control gets a mnemonic of its own, and the dialog stops
    // initializing.
    void finish();
    // Set while the dialog fills its controls.
    void setInitializing(bool on) { m_initializing = on; }
    void showEvent(QShowEvent* event) override;

private:
    bool m_initializing = true;
    QAbstractButton* m_ok = nullptr;
    QAbstractButton* m_cancel = nullptr;
};

// Puts a mnemonic into each text that has none, on the first letter not
// taken by another of the texts ("&File", "&Edit", "E&xit"); texts already
// holding one keep it. A text of ideographs, kana or hangul gets a Latin
// one after it, "ファイル(&F)": a letter of the English text of its string
// id (ids, in the order of texts, 0 for none) where one is free.
QStringList MRV_withMnemonics(const QStringList& texts, const QList<quint32>& ids = {});
// The visible text without its mnemonic marker.
QString MRV_plainText(QString text);
// Makes row the current and only selected row of view, as a click would.
// (QTableView::selectRow selects nothing in a right-to-left view whose
// columns do not fill it.)
void MRV_selectRow(QAbstractItemView* view, int row);
// The direction the host's current language is written in: every window
// of the program is laid out in it.
Qt::LayoutDirection MRV_layoutDirection();
