#pragma once

#include "VYRQExport.h"

#include "VYRQItemViewImpl.h"
#include "VYRQStateStyles.h"

#include <QMap>
#include <QPointer>
#include <QSize>
#include <QString>

#include <memory>

class QModelIndex;
class QVariant;
class QRect;
class VYRQCheckBox;
class VYRQContainer;
class VYRQTableView;
class VYRQTableViewitemDelegate;

// The table's state, read by its delegate, headers, corner and viewport.
class VYRQTLIB_EXPORT VYRQTableViewImpl : public VYRQItemViewImpl {
    Q_OBJECT
public:
    // Model role of a cell's image name.
    static constexpr int imageRole = 356;

    explicit VYRQTableViewImpl(VYRQTableView* owner);
    ~VYRQTableViewImpl() override;

    VYRQTableView* view() const { return q; }

    void drawControl(QPainter* painter, const QRect& rect) override;
    void createComplete() override;
    void setScrollbarBtnSize(bool horizontal, int size) override;
    void setScrollbarSize(bool horizontal, int size) override;

    void setItemHeight(int h);
    // The height the stored one gives each of `rows` rows (rowSize()), set as the
    // vertical header's default section size when it differs. Called ahead of every
    // change to the header's sections: Qt adds their sizes up, or multiplies the
    // default by their count, in int.
    void holdRows(qint64 rows);
    // The rows the vertical header has or the model holds under the root, the more.
    qint64 rowsToHold() const;
    void setCheckBoxImage(bool checked, const QString& name);
    // The check icon of `checked` painted into `rect` through the check stamp.
    void drawCheck(QPainter* painter, const QRect& rect, bool checked);
    // Where a cell's or a header section's check icon lies: 5 pixels in from the
    // left edge, as wide as the check image, the full height.
    QRect checkRect(const QRect& cell) const;
    // A hosted container, or null for none or one deleted since.
    VYRQContainer* columnWidget(int column) const;
    void setHoverRow(int row);
    // Forgets the hover row without a repaint (the model's rows changed under it).
    void dropHoverRow() { hoverRow = -1; }

    // The check state of an index: Qt::Checked counts as checked, anything else not.
    static bool isChecked(const QModelIndex& index);
    // A cell's or section's text-alignment value, when valid, overrides the style's.
    static void applyAlignment(TextStyleDesc& style, const QVariant& alignment);
    // `rect` shrunk by 2 pixels on every side, never of negative size.
    static QRect innerRect(const QRect& rect);
    // The text area right of a check icon: from inner left + 10 + the check width.
    QRect textRightOfCheck(const QRect& inner) const;

    int itemHeight = 20;
    FillStyle background;
    vyr::TextStates itemTextStyles;
    vyr::FillStates itemBackgrounds;
    vyr::FillStates headerBackgrounds;
    vyr::TextStates headerTextStyles;
    int hoverRow = -1;
    int scrollbarSize = 23;
    int scrollbarButtonSize = 23;
    std::unique_ptr<VYRQCheckBox> checkStamp;
    bool checkStyle = false;
    QSize checkImageSize = QSize(24, 24);
    QString checkedImage = QStringLiteral("IDB_CHECKED");
    QString uncheckedImage = QStringLiteral("IDB_UNCHECK");
    bool headerAllChecked = false;
    QMap<int, QPointer<VYRQContainer>> columnWidgets;
    std::unique_ptr<VYRQTableViewitemDelegate> delegate;

private:
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQTableView* q;
};
