#pragma once
// An off-screen image copied to the window at its own size on every repaint, as the sprite tools
// show their canvas and preview.

#include <QImage>
#include <QWidget>

namespace sprite {

class ImageView final : public QWidget {
    Q_OBJECT

public:
    explicit ImageView(QWidget& parent);

    // Shows `image` from the view's top-left corner; the view takes the image's size.
    void setImage(QImage image);
    // Nothing is copied while there is no image.
    void clearImage();
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

// A 0xFFRRGGBB pixel buffer of `width` columns as an image of its own.
QImage imageOfPixels(const std::vector<std::uint32_t>& pixels, int width, int height);

}  // namespace sprite
