#pragma once

#include "VYRQExport.h"

#include "ControlInfo.h"
#include "VYRQStyleDefs.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>

namespace Json { class Value; }

// The page frame: stands for the top-level window of a page while the design
// canvas edits it. It carries the page's window settings and turns itself and its
// controls into page-file text. It paints nothing: the canvas draws the page's
// controls itself, through the frame.
class VYRQTLIB_EXPORT VYRQCanvasWindow : public QWidget {
public:
    explicit VYRQCanvasWindow(QWidget* parent = nullptr);
    ~VYRQCanvasWindow() override;

    static const char* typeName() { return "Window"; }
    static QWidget* createCanvas();
    static ControlInfo getProps();

    // Window settings, stored for the page file; nothing here acts on them.
    void setResizeable(bool on);
    bool getResizeable() const { return m_resizeable; }
    void setCanDrag(bool on) { m_canDrag = on; }
    bool getCanGrag() const { return m_canDrag; }
    void setBackgroundImage(const QString& name, const ImageDesc& desc);
    void setBackgroundColor(const FillRes& color) { m_background = color; }
    void setUseFillColor(bool on) { m_useFillColor = on; }
    void setShowBackground(bool on) { m_showBackground = on; }
    void setMinWidth(int width) { m_minWidth = width; }
    int getMinWidth() const { return m_minWidth; }
    void setMinHeight(int height) { m_minHeight = height; }
    int getMinHeight() const { return m_minHeight; }
    void setOnlyDragCaption(bool on) { m_onlyDragCaption = on; }
    bool getOnlyDragCaption() const { return m_onlyDragCaption; }
    void setCaptionHeight(int height) { m_captionHeight = height; }
    // Whether a caption band is set at all (not its height).
    bool getCaptionHeight() const { return m_captionHeight != 0; }
    // Frameless and translucent as a window; the page's "trans" key is not touched.
    void setTransparent(bool on);
    void setPageName(const QString& name) { m_pageName = name; }
    QString pageName() const { return m_pageName; }

    // The header keys that the page loader leaves to the frame ("trans", "dbmax",
    // "dbheight"), so that a page keeps them through the designer; the page's keys that
    // the frame does not write ("title", "version", ...) are kept as read and written
    // back with it.
    void readPageHeader(const Json::Value& root);
    bool getTrans() const { return m_trans; }
    bool getDbMax() const { return m_dbmax; }
    int captionHeightValue() const { return m_captionHeight; }

    // The frame's size is the page size.
    void setWidth(int width);
    void setHeight(int height);
    int getWidth() const { return width(); }
    int getHeight() const { return height(); }
    void setX(int x);
    void setY(int y);

    // The deepest visible widget of `widget`'s subtree at (x, y), frame coordinates;
    // null when none. Rectangles are clipped by their ancestors below the frame.
    QWidget* HitTestWithChildren(QWidget* widget, int x, int y);
    void hideAllWidges();
    void toJsonString(QString& out);
    // The page text a save writes, when it is no longer than maxBytes: in the styled
    // layout of page files, or without the layout's whitespace where that would pass
    // the size a page file is read at (the indentation of a nested page grows on every
    // line). toJsonString gives the same text, whatever its size.
    // False also when the page holds a number that is not finite, which has no JSON
    // text; `why`, when given, then says which of the two failed.
    bool pageText(std::string& out, qint64 maxBytes, QString* why = nullptr);
    // The page document that pageText writes.
    void pageDocument(Json::Value& root);

    // The text the page was read from: a number the page still holds as read is
    // written as that text.
    void setSourceText(const QByteArray& text) { m_sourceText = text; }
    // The file the page was read from or last saved to, and what told it from the
    // same file changed (vyr::fileIdentity); a save there checks it is still that file.
    void setOpenedFile(const QString& path, const QByteArray& identity)
    {
        m_openedPath = path;
        m_openedIdentity = identity;
    }
    QString openedPath() const { return m_openedPath; }
    QByteArray openedIdentity() const { return m_openedIdentity; }

private:
    void writeHeader(Json::Value& root) const;
    QRect rectInFrame(const QWidget* widget) const;
    QRect clippedRectInFrame(const QWidget* widget) const;

    bool m_resizeable = false;
    bool m_canDrag = true;
    QString m_backgroundImage;
    ImageDesc m_backgroundImageDesc;
    FillRes m_background;
    bool m_useFillColor = true;
    bool m_showBackground = false;
    int m_minWidth = 400;
    int m_minHeight = 400;
    bool m_onlyDragCaption = false;
    int m_captionHeight = 40;
    bool m_dbmax = false;
    bool m_trans = false;
    QString m_pageName;
    std::unique_ptr<Json::Value> m_keptKeys;
    QByteArray m_sourceText;
    QString m_openedPath;
    QByteArray m_openedIdentity;
};
