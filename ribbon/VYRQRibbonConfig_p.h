#pragma once

// Library-internal: the ribbon configuration reader and writer; not installed.

#include <QString>
#include <QtGlobal>

namespace Json { class Value; }
class QAction;
class QByteArray;
class QWidget;
class VYRQRibbonBar;
class VYRQRibbonContextGroup;
class VYRQRibbonMenu;
class VYRQRibbonPage;

// Reads a ribbon configuration ("schemaVersion" 1) into a bar, replacing its whole
// content, and writes the bar's content back as one. Values of the wrong JSON type
// read as the key's default; a document is checked whole before the bar is cleared,
// so a refused one leaves the bar as it was.
class VYRQRibbonConfig {
public:
    // Files larger than this are refused.
    static constexpr qint64 maxFileSize = 16 * 1024 * 1024;
    // What one configuration may build: a real ribbon has some tens of pages and a few
    // hundred commands, while a file of maxFileSize could name a million of each.
    // Measured in the sanitizer build (a release build takes about half), a page with
    // its tab costs 35 KB, a group or a command 10 KB, so the most these allow comes to
    // about 420 MB; an icon keeps at most 16 KB more, reached only when every command
    // names a file of its own. A document past them is refused whole.
    static constexpr qint64 maxPages = 2000;
    static constexpr qint64 maxGroups = 10000;   // the groups of all pages, and the context groups
    static constexpr qint64 maxItems = 25000;    // group items, gallery entries, combo box texts,
                                                 // menu entries, quick-access and top-right items

    static bool loadFile(VYRQRibbonBar& bar, const QString& path);
    static bool loadText(VYRQRibbonBar& bar, const QString& text);
    static bool apply(VYRQRibbonBar& bar, const Json::Value& root, const QString& source);
    static Json::Value write(const VYRQRibbonBar& bar);

private:
    // Parses the bytes up to the first zero byte; false with the reader's messages.
    static bool parse(const QByteArray& bytes, Json::Value& root, QString& errors);
    static bool fail(VYRQRibbonBar& bar, const QString& source, const QString& message);
    // The message of the first thing the reader cannot take, empty when none.
    static QString check(const Json::Value& root);

    static QAction* createActionItem(VYRQRibbonBar& bar, const Json::Value& item);
    static VYRQRibbonMenu* createMenu(VYRQRibbonBar& bar, const Json::Value& entries, QWidget* parent, int depth = 0);
    static QWidget* createWidgetItem(const Json::Value& item, QWidget* parent);
    static void readPage(VYRQRibbonBar& bar, const Json::Value& page, VYRQRibbonContextGroup* group);

    static Json::Value writePage(const VYRQRibbonPage* page);
    static Json::Value writeMenu(const QWidget* menu, int depth = 0);
    static Json::Value writeWidget(const QWidget* widget);
};
