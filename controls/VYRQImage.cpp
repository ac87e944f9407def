#include "VYRQImage.h"

#include "VYRQImageBounds_p.h"
#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQPropertyRows.h"
#include "VYRQRegularFile.h"
#include "VYRQResourceDecoder_p.h"
#include "VYRQResourceManager.h"
#include "VYRQWidgetBaseImpl.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QSvgRenderer>

#include <json/value.h>

#include <algorithm>
#include <memory>
#include <utility>

class VYRQImageImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQImageImpl(VYRQImage* owner)
        : VYRQWidgetBaseImpl(owner, VYRQImage::typeName())
        , q(owner)
    {
    }

    void paintEvent() override;
    void drawControl(QPainter* painter, const QRect& rect) override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    QRect placement(const QRect& rect, const QSize& size) const;
    void endMovie();
    void drawSvgPath(QPainter* painter, const QRect& rect);

    VYRQImage* q;
    int lastFrame = -1;
    bool stretch = true;
    int verAlign = DockCenter;
    int horAlign = DockCenter;
    QString imagePath;
    QString svgPath;
    const QImage* image = nullptr;
    // When a set handed `image` out: that set and the key, which outlive the pointer.
    VYRQResourceDecoder::HeldImage held;
    bool useSvgColor = false;
    QColor svgColor = QColor(0, 0, 0, 255);
    // The file the movie plays, read whole; declared first, so that it outlives the movie.
    std::unique_ptr<QBuffer> movieData;
    std::unique_ptr<QMovie> movie;
    QPointer<QLabel> movieLabel;
};

static bool endsWithSvg(const QString& path)
{
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

QRect VYRQImageImpl::placement(const QRect& rect, const QSize& size) const
{
    if (stretch)
        return QRect(rect.left(), rect.top(), q->width(), q->height());
    return QRect(alignedStart(horAlign, rect.left(), q->width(), size.width()),
                 alignedStart(verAlign, rect.top(), q->height(), size.height()), size.width(), size.height());
}

void VYRQImageImpl::endMovie()
{
    if (movie) {
        movie->stop();
        movie.reset();
    }
    movieData.reset();
    if (movieLabel)
        movieLabel->hide();
}

void VYRQImageImpl::paintEvent()
{
    {
        QPainter painter(q);
        drawControl(&painter, QRect(0, 0, q->width(), q->height()));
    }
    if (!movie)
        return;
    lastFrame = movie->currentFrameNumber();
    // A movie that could not be read reports no frames and frame -1; it has no end.
    if (movie->isValid() && movie->frameCount() > 0 && lastFrame == movie->frameCount() - 1)
        emit q->movieFinished();
}

void VYRQImageImpl::drawSvgPath(QPainter* painter, const QRect& rect)
{
    QSvgRenderer* renderer = VYRQResourceManager::getInstance()->getSvgRenderer(svgPath);
    if (!renderer || !renderer->isValid())
        return;
    QSize size = renderer->defaultSize();
    if (!size.isValid())
        size = QSize(std::max(1, q->width()), std::max(1, q->height()));
    const QRect target = placement(rect, size);
    if (target.width() < 1 || target.height() < 1)
        return;
    drawSvg(painter, renderer, svgPath, target, useSvgColor ? SvgLook::Tinted : SvgLook::Plain, svgColor);
}

void VYRQImageImpl::drawControl(QPainter* painter, const QRect& rect)
{
    if (!svgPath.isEmpty()) {
        drawSvgPath(painter, rect);
        return;
    }
    // An image a set handed out is drawn while the set has it (decoded again when it was
    // emptied), never through a pointer the set no longer owns.
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const QImage* bitmap = held.set ? VYRQResourceDecoder(*rm).imageToDraw(held)
                                    : image ? image : rm->getImageToDraw(imagePath, false);
    if (!bitmap || bitmap->isNull())
        return;
    painter->drawImage(placement(rect, bitmap->size()), *bitmap);
}

void VYRQImageImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    if (readOwnAttr(*attr, "path", imagePath) && endsWithSvg(imagePath))
        svgPath = imagePath;
    readOwnAttr(*attr, "fill", stretch);
    readOwnAttr(*attr, "svgPath", svgPath);
    readOwnAttr(*attr, "svgUseColor", useSvgColor);
    readOwnColor(*attr, "svgColor", svgColor);
}

void VYRQImageImpl::writeJson(Json::Value& element)
{
    Json::Value own(Json::objectValue);
    if (svgPath.isEmpty() && !imagePath.isEmpty())
        own["path"] = vyr::json::toUtf8(imagePath);
    if (!stretch)
        own["fill"] = 0;
    vyr::json::writeUnlessEmpty(own, "svgPath", svgPath);
    if (useSvgColor)
        own["svgUseColor"] = 1;
    const std::string color = vyr::json::colorToText(svgColor);
    if (color != "FF000000")
        own["svgColor"] = color;
    if (!own.empty()) {
        Json::Value& attr = element["attr"];
        for (const std::string& key : own.getMemberNames())
            attr[key] = own[key];
    }
}

VYRQImage::VYRQImage(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
}

VYRQImage::~VYRQImage() = default;

void VYRQImage::setImagePath(const QString& path)
{
    impl()->endMovie();
    impl()->imagePath = path;
    impl()->svgPath = endsWithSvg(path) ? path : QString();
    update();
}

QString VYRQImage::getImagePath() const
{
    return impl()->imagePath;
}

void VYRQImage::setImage(const QImage* image)
{
    impl()->image = image;
    impl()->held = image ? VYRQResourceDecoder(*VYRQResourceManager::getInstance()).hold(image)
                         : VYRQResourceDecoder::HeldImage();
    impl()->svgPath.clear();
    update();
}

const QImage* VYRQImage::getImage() const
{
    const VYRQImageImpl* d = impl();
    return !d->held.set || VYRQResourceDecoder(*VYRQResourceManager::getInstance()).holds(d->held, d->image) ? d->image
                                                                                                         : nullptr;
}

void VYRQImage::setSvgPath(const QString& path)
{
    impl()->endMovie();
    impl()->svgPath = path;
    impl()->imagePath.clear();
    impl()->image = nullptr;
    impl()->held = VYRQResourceDecoder::HeldImage();
    update();
}

QString VYRQImage::getSvgPath() const
{
    return impl()->svgPath;
}

void VYRQImage::setSvgColor(const QColor& color)
{
    if (impl()->svgColor == color && impl()->useSvgColor)
        return;
    impl()->svgColor = color;
    impl()->useSvgColor = true;
    update();
}

QColor VYRQImage::getSvgColor() const
{
    return impl()->svgColor;
}

void VYRQImage::setUseSvgColor(bool on)
{
    if (impl()->useSvgColor == on)
        return;
    impl()->useSvgColor = on;
    update();
}

bool VYRQImage::getUseSvgColor() const
{
    return impl()->useSvgColor;
}

void VYRQImage::setStretchDraw(bool on)
{
    impl()->stretch = on;
}

bool VYRQImage::getStretchDraw() const
{
    return impl()->stretch;
}

void VYRQImage::setAlignType(DockLayoutType hor, DockLayoutType ver)
{
    impl()->horAlign = hor;
    impl()->verAlign = ver;
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQImage::loadGif(const QString& path)
{
    VYRQImageImpl* d = impl();
    d->imagePath.clear();
    d->svgPath.clear();
    d->image = nullptr;
    d->held = VYRQResourceDecoder::HeldImage();
    d->endMovie();
    // Read as a theme image is: a FIFO or a device would block the movie's reader or
    // never end, and a frame is decoded at the size the data give only as it plays.
    QByteArray data;
    const vyr::FileRead result = vyr::readRegularFile(path, vyr::maxFileBytes, data);
    QString refusal;
    QByteArray format;
    if (result == vyr::FileRead::NotRegular || result == vyr::FileRead::TooLarge)
        refusal = QString::fromLatin1(vyr::fileReadText(result));
    else
        format = vyr::checkedImageFormat(data, refusal);
    if (!refusal.isEmpty()) {
        qCWarning(vyrControls) << "movie" << path << "refused:" << refusal;
        return;
    }
    d->movieData = std::make_unique<QBuffer>();
    d->movieData->setData(vyr::withDrawnPngChunks(std::move(data)));
    d->movieData->open(QIODevice::ReadOnly);
    // Constructed here, not in make_unique: the file-opens check allows it in this function.
    d->movie.reset(new QMovie(d->movieData.get(), format));
    if (!d->movieLabel)
        d->movieLabel = new QLabel(this);
    d->movieLabel->setGeometry(0, 0, width(), height());
    d->movieLabel->setScaledContents(true);
    d->movieLabel->setMovie(d->movie.get());
    d->movieLabel->show();
    d->movie->start();
}

void VYRQImage::startAnimate()
{
    if (impl()->movie)
        impl()->movie->start();
}

void VYRQImage::stopAnimate()
{
    if (impl()->movie)
        impl()->movie->stop();
}

void VYRQImage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (impl()->movieLabel)
        impl()->movieLabel->setGeometry(rect());
}

void VYRQImage::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    emit clicked();
}

ControlInfo VYRQImage::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQImage>("Image", "Control Image", "picture");
    info.rows.push_back(vyr::iconRow("ImagePath", &VYRQImage::setImagePath, &VYRQImage::getImagePath));
    info.rows.push_back(vyr::boolRow("Stretch", &VYRQImage::setStretchDraw, &VYRQImage::getStretchDraw));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQImage.cpp"
