#include "sprite/window/image_view.hpp"

#include <QPainter>

#include <algorithm>

namespace sprite {

ImageView::ImageView(QWidget& parent) : QWidget(&parent) {}

void ImageView::setImage(QImage image)
{
    image_ = std::move(image);
    resize(image_.size());
    update();
}

void ImageView::clearImage()
{
    image_ = QImage();
    update();
}

void ImageView::paintEvent(QPaintEvent* /*event*/)
{
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

QImage imageOfPixels(const std::vector<std::uint32_t>& pixels, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, width, line);
    }
    return image;
}

}  // namespace sprite
