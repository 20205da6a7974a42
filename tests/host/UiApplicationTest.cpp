#include "TestData.h"
#include "host/objects/LLComError.h"
#include "host/objects/LLXmlText.h"
#include "host/ui/LLLocalApplication.h"
#include "host/ui/LLUiWire.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using LLUiCOM::LocalApplication;
using LLUiCOM::MenuItem;

namespace {

// An add-on's entry under the Tools menu, as an add-on adds and removes it.
const QString AddEntry =
    u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Application><Menus><action type=\"add\">"
    u"<Menu Type=\"1\" UniqueID=\"A_@OPEN\" String=\"Open A\" Checked=\"0\" Enabled=\"1\" "
    u"Image=\"\" FatherUID=\"4864\" Position=\"\"/></action></Menus></Application>"_s;
const QString RemoveEntry = u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Application><Menus>"
                            u"<action type=\"remove\"><Menu UniqueID=\"A_@OPEN\"/></action>"
                            u"</Menus></Application>"_s;

QString batch(const QString& type, const QString& menus) {
    return u"<Application><Menus><action type=\"%1\">%2</action></Menus></Application>"_s.arg(
        type, menus);
}

// An attribute's value for any text XML can carry: line ends and tabs as
// references, since a reader turns them into blanks otherwise.
QString attributeValue(const QString& text) {
    return LLEscapeXmlText(text, true).replace(u'\n', u"&#10;"_s).replace(u'\t', u"&#9;"_s);
}

bool xmlCarries(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c) && (i + 1 == text.size() || !text[i + 1].isLowSurrogate()))
            return false;
        if (QChar::isLowSurrogate(c) && (i == 0 || !text[i - 1].isHighSurrogate()))
            return false;
    }
    return true;
}

QStringList ids(const QList<MenuItem>& items) {
    QStringList out;
    for (const MenuItem& item : items)
        out << item.uniqueId;
    return out;
}

// An add-on that records what the client raised, and keeps menu events
// when told to.
struct RecordingSink : LLUiCOM::EventSink {
    QStringList events;
    bool keepMenus = false;
    int loadResult = 0;
    int OnApplicationLoad(LLUiCOM::Application& application) override {
        events << u"load %1"_s.arg(application.language());
        return loadResult;
    }
    int OnApplicationUnload() override {
        events << u"unload"_s;
        return 0;
    }
    int OnMenuEvent(const LLUiCOM::MenuEvent& e, bool& passOn) override {
        events << u"menu %1 %2"_s.arg(e.menuUid, e.beforeAction ? u"before"_s : u"after"_s);
        if (keepMenus && e.beforeAction)
            passOn = false;
        return 0;
    }
    int OnFormLoad(const LLUiCOM::FormEvent& e, bool& passOn) override {
        events << u"form %1/%2"_s.arg(e.formType).arg(e.instance);
        passOn = true;
        return 0;
    }
    int OnChangeLanguage() override {
        events << u"language"_s;
        return 0;
    }
    int OnCompanyEvent(std::shared_ptr<LLObjectsCOM::Company> company) override {
        events << (company ? u"company"_s : u"no company"_s);
        return 0;
    }
};

} // namespace

// Batches add, place, update and remove entries; a refused action names
// why and leaves the tree as it was, while the batch's other actions are
// carried out.
TEST(UiMenus, BatchesChangeTheMenusOrSayWhyNot) {
    LocalApplication client(nullptr, 1033);
    client.loadBatchActions(AddEntry);
    EXPECT_EQ(client.menuItem(u"A_@OPEN"_s),
              (MenuItem{.uniqueId = u"A_@OPEN"_s, .text = u"Open A"_s, .fatherId = u"4864"_s}));
    EXPECT_EQ(client.lastBatchResults(),
              u"<Results><Menu action=\"add\" UniqueID=\"A_@OPEN\" result=\"0\"/></Results>"_s);

    struct Refused {
        const char* why;
        QString xml;
        QString error;
    };
    const QList<Refused> refused{
        {"twice", AddEntry, u"Menu A_@OPEN exists already"_s},
        {"unknown father",
         batch(u"add"_s, u"<Menu UniqueID=\"X\" String=\"X\" FatherUID=\"9\"/>"_s),
         u"Menu X names no menu 9 as its father"_s},
        {"father no popup",
         batch(u"add"_s, u"<Menu UniqueID=\"X\" String=\"X\" FatherUID=\"A_@OPEN\"/>"_s),
         u"Menu A_@OPEN is not a popup"_s},
        {"no id", batch(u"add"_s, u"<Menu String=\"X\" FatherUID=\"4864\"/>"_s),
         u"A menu needs a UniqueID"_s},
        {"bad type", batch(u"add"_s, u"<Menu Type=\"1x\" UniqueID=\"X\" String=\"X\"/>"_s),
         u"Menu X has no type '1x'"_s},
        {"bad flag",
         batch(u"add"_s,
               u"<Menu UniqueID=\"X\" String=\"X\" FatherUID=\"4864\" Enabled=\"yes\"/>"_s),
         u"Menu X has Enabled 'yes', not 0 or 1"_s},
        {"bad position",
         batch(u"add"_s,
               u"<Menu UniqueID=\"X\" String=\"X\" FatherUID=\"4864\" Position=\"7\"/>"_s),
         u"Menu X cannot stand at position '7'"_s},
        {"client's own", batch(u"remove"_s, u"<Menu UniqueID=\"4864\"/>"_s),
         u"Menu 4864 is the client's own"_s},
        {"unknown action", batch(u"move"_s, u"<Menu UniqueID=\"A_@OPEN\"/>"_s),
         u"Unknown action type 'move'"_s},
        {"update unknown", batch(u"update"_s, u"<Menu UniqueID=\"Y\" Enabled=\"0\"/>"_s),
         u"There is no menu Y"_s},
    };
    const QList<MenuItem> before = client.menus().children(u"4864"_s);
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.why);
        try {
            client.loadBatchActions(r.xml);
            ADD_FAILURE() << "accepted";
        } catch (const ComError& e) {
            EXPECT_EQ(e.description(), r.error);
        }
        EXPECT_TRUE(client.lastBatchResults().contains(u"result=\"-1\" error=\""_s));
        EXPECT_EQ(client.menus().children(u"4864"_s), before);
        EXPECT_EQ(client.menus().children(u""_s).size(), 3);
    }

    // One batch: a popup first in Tools with an entry of its own, an
    // update, and a refused add that stops nothing else.
    EXPECT_THROW(client.loadBatchActions(
                     u"<Application><Menus><action type=\"add\"><Menu Type=\"2\" UniqueID=\"P\" "
                     u"String=\"Pop\" FatherUID=\"4864\" Position=\"0\"/><Menu UniqueID=\"P1\" "
                     u"String=\"In\" FatherUID=\"P\"/><Menu UniqueID=\"P\" String=\"Again\" "
                     u"FatherUID=\"4864\"/></action><action type=\"update\"><Menu "
                     u"UniqueID=\"A_@OPEN\" String=\"Open B\" Enabled=\"0\"/></action></Menus>"
                     u"</Application>"_s),
                 ComError);
    EXPECT_EQ(ids(client.menus().children(u"4864"_s)), (QStringList{u"P"_s, u"A_@OPEN"_s}));
    EXPECT_EQ(ids(client.menus().children(u"P"_s)), QStringList{u"P1"_s});
    EXPECT_EQ(client.menuItem(u"A_@OPEN"_s).text, u"Open B"_s);
    EXPECT_FALSE(client.menuItem(u"A_@OPEN"_s).enabled);
    EXPECT_EQ(client.lastBatchResults().count(u"result=\"0\""_s), 3);

    // Removing a popup takes its entries along; the entry goes once.
    client.loadBatchActions(batch(u"remove"_s, u"<Menu UniqueID=\"P\"/>"_s));
    EXPECT_EQ(client.menus().find(u"P1"_s), nullptr);
    client.loadBatchActions(RemoveEntry);
    EXPECT_THROW(client.loadBatchActions(RemoveEntry), ComError);
    EXPECT_TRUE(client.menus().children(u"4864"_s).isEmpty());
}

// A document that is not a batch changes nothing and leaves no results.
TEST(UiMenus, ADocumentThatIsNoBatchIsRefusedWhole) {
    LocalApplication client(nullptr, 1033);
    for (const QString& xml :
         {u"<Application><Menus><action type=\"add\"><Menu UniqueID=\"X\" String=\"X\" "
          u"FatherUID=\"4864\"/></action></Menus>"_s,
          u"<!DOCTYPE a [<!ENTITY e \"x\">]><Application><Menus/></Application>"_s, u"<Menus/>"_s,
          batch(u"add"_s, u"<Item UniqueID=\"X\"/>"_s)}) {
        SCOPED_TRACE(xml.toStdString());
        EXPECT_THROW(client.loadBatchActions(xml), ComError);
        EXPECT_EQ(client.menus().find(u"X"_s), nullptr);
        EXPECT_TRUE(client.lastBatchResults().isEmpty());
    }
}

// Whatever an entry's text holds arrives as it is, and the results stay
// well-formed.
TEST(UiMenus, HostileTextsArriveUnchanged) {
    LocalApplication client(nullptr, 1033);
    int n = 0;
    for (const QString& text : nastyStrings()) {
        if (text.isEmpty() || !xmlCarries(text))
            continue;
        const QString id = u"N%1"_s.arg(++n);
        client.loadBatchActions(
            batch(u"add"_s, u"<Menu UniqueID=\"%1\" String=\"%2\" FatherUID=\"4864\"/>"_s.arg(
                                id, attributeValue(text))));
        EXPECT_EQ(client.menuItem(id).text, text) << text.toStdString();
    }
    EXPECT_GT(n, 50);
}

// The client raises its events to every add-on connected; one that keeps a
// menu event stops its after-action phase and the client's own action.
TEST(UiEvents, EveryAddOnHearsTheClientsEvents) {
    LocalApplication client(nullptr, 1033);
    RecordingSink first, second;
    client.connect(&first);
    client.connect(&second);
    client.connect(&second);
    second.loadResult = -5;
    EXPECT_EQ(client.raiseApplicationLoad(), -5);
    EXPECT_TRUE(client.clickMenu(u"A"_s));
    second.keepMenus = true;
    EXPECT_FALSE(client.clickMenu(u"B"_s));
    EXPECT_TRUE(client.loadForm(169, 1));
    client.changeLanguage(1031);
    client.changeCompany(nullptr);
    // An add-on that just joined hears the load alone.
    EXPECT_EQ(client.raiseApplicationLoad(&first), 0);
    client.disconnect(&second);
    EXPECT_EQ(client.raiseApplicationLoad(&second), 0);
    EXPECT_EQ(client.raiseApplicationUnload(), 0);
    EXPECT_EQ(first.events, (QStringList{u"load 1033"_s, u"menu A before"_s, u"menu A after"_s,
                                         u"menu B before"_s, u"form 169/1"_s, u"language"_s,
                                         u"no company"_s, u"load 1031"_s, u"unload"_s}));
    EXPECT_EQ(second.events.size(), 7);
    EXPECT_EQ(client.language(), 1031);
}

// Message boxes, forms and the status bar as the client keeps them; once
// the client is gone, every call fails with the same status.
TEST(UiCalls, CallsAreCheckedAndFailOnceTheClientIsGone) {
    LocalApplication client(nullptr, 1033);
    EXPECT_THROW(client.company(), ComError);
    client.messageBoxHandler = [](const LocalApplication::MessageBoxRequest& r) {
        return r.captions.size() == 3 ? 3 : 9; // 9 is no button: the default counts
    };
    EXPECT_EQ(client.messageBox(u"Go?"_s, 1, u"Yes"_s, u"No"_s, u"Cancel"_s), 3);
    EXPECT_EQ(client.messageBox(u"Denied."_s, 1, u"OK"_s), 1);
    EXPECT_THROW(client.messageBox(u"x"_s, 2, u"OK"_s), ComError);
    EXPECT_THROW(client.messageBox(u"x"_s, 1, {}), ComError);
    ASSERT_EQ(client.messageBoxes().size(), 2);
    EXPECT_EQ(client.messageBoxes()[0].captions, (QStringList{u"Yes"_s, u"No"_s, u"Cancel"_s}));

    // The client hears what the calls changed, and only that.
    QList<LocalApplication::Change> changes;
    client.changed = [&](LocalApplication::Change change) { changes << change; };
    client.freezeForm(169, 1, true);
    client.freezeForm(169, 1, true);
    client.freezeForm(169, 1, false);
    EXPECT_EQ(client.frozen(169, 1), 1);
    client.freezeForm(169, 1, false);
    EXPECT_THROW(client.freezeForm(169, 1, false), ComError);
    EXPECT_THROW(client.freezeForm(169, 2, true), ComError);
    EXPECT_THROW(client.setMenuEnabled(u"none"_s, true), ComError);
    client.setMenuEnabled(u"4864"_s, false);
    EXPECT_FALSE(client.menuItem(u"4864"_s).enabled);
    client.setStatusBarMessage(u"Copying"_s, false);
    EXPECT_EQ(client.statusBarText(), u"Copying"_s);
    EXPECT_THROW(client.loadBatchActions(u"<Appl"_s), ComError);
    using Change = LocalApplication::Change;
    EXPECT_EQ(changes, (QList<Change>{Change::Forms, Change::Forms, Change::Forms, Change::Forms,
                                      Change::Menus, Change::StatusBar}));

    client.close();
    const std::function<void()> calls[] = {[&] { client.language(); },
                                           [&] { client.messageBox(u"x"_s, 1, u"OK"_s); },
                                           [&] { client.freezeForm(169, 1, true); },
                                           [&] { client.loadBatchActions(AddEntry); },
                                           [&] { client.lastBatchResults(); },
                                           [&] { client.menuItem(u"4864"_s); },
                                           [&] { client.setStatusBarMessage(u"x"_s, true); }};
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "a call succeeded after the client went";
        } catch (const ComError& e) {
            EXPECT_EQ(e.code(), LLUiCOM::ClientGone);
        }
    }
    EXPECT_EQ(client.messageBoxes().size(), 2);
}

// A connection string names the socket and a token no one can guess; any
// other text is refused with why. Messages are cut at line ends, however
// they arrive, and a peer that sends anything else is cut off.
TEST(UiWire, TicketsAndMessagesSurviveTheWayAndNothingElseDoes) {
    namespace wire = LLUiCOM::wire;
    const QByteArray token = wire::newToken();
    EXPECT_EQ(token.size(), 64);
    EXPECT_NE(wire::newToken(), token);
    const wire::Ticket ticket{u"/run/user/1000/ledgerline-ui-1"_s, token};
    EXPECT_EQ(wire::parseConnectionString(wire::connectionString(ticket)), ticket);
    for (const QString& bad :
         {QString(), u"socket=a"_s, u"socket=;token=%1"_s.arg(QLatin1String(token)),
          u"socket=a;token=%1;x=1"_s.arg(QLatin1String(token)),
          u"socket=a;token=%1"_s.arg(QLatin1String(token.left(63))),
          u"socket=a;token=%1"_s.arg(QLatin1String(token.toUpper())),
          u"token=%1;socket=a"_s.arg(QLatin1String(token)),
          u"socket=a;token=%1ü"_s.arg(QLatin1String(token.left(63)))}) {
        QString why;
        EXPECT_FALSE(wire::parseConnectionString(bad, &why)) << bad.toStdString();
        EXPECT_FALSE(why.isEmpty());
    }

    const MenuItem item{u"P"_s, u"Pop"_s, u"4864"_s, u"p.png"_s, MenuItem::Popup, false, true};
    EXPECT_EQ(wire::menuItemOf(wire::toJson(item)), item);

    const QJsonObject first{{u"call"_s, u"messageBox"_s}, {u"text"_s, u"two\nlines\u00e9"_s}};
    const QJsonObject second{{u"id"_s, 2}};
    const QByteArray stream = wire::encode(first) + wire::encode(second);
    EXPECT_EQ(stream.count('\n'), 2);
    wire::LineReader reader;
    QString error;
    for (const char c : stream.left(stream.size() - 3))
        reader.append(QByteArray(1, c)); // a byte at a time
    EXPECT_EQ(reader.next(error), first);
    EXPECT_FALSE(reader.next(error));
    EXPECT_TRUE(error.isEmpty());
    reader.append(stream.right(3));
    EXPECT_EQ(reader.next(error), second);

    // Not an object, not JSON, too long with or without its line end: the
    // reader fails and stays failed.
    for (const QByteArray& bad :
         {QByteArray("[1,2]\n"), QByteArray("{\"a\":\n"), QByteArray(40, 'x'),
          "{\"a\":\"" + QByteArray(40, 'x') + "\"}\n"}) {
        wire::LineReader small(32);
        small.append(bad);
        EXPECT_FALSE(small.next(error)) << bad.toStdString();
        EXPECT_FALSE(error.isEmpty()) << bad.toStdString();
        small.append(wire::encode(second));
        EXPECT_FALSE(small.next(error));
        EXPECT_FALSE(error.isEmpty());
    }
}
