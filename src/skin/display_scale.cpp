#include "skin/display_scale.h"

#include "app/log.h"

#include <atomic>

namespace zorvan {
namespace {

std::atomic<bool> g_fourK{false};
std::atomic<double> g_pictureRatio{1.0};

}  // namespace

bool DecideFourK(const QSize& usableScreen)
{
    Log("xScreen=%d, yScreen=%d", usableScreen.width(), usableScreen.height());
    bool fourK = false;
    if (usableScreen.width() >= 3500) {
        if (usableScreen.height() - 50 > 1400)
            fourK = true;
        else
            Log("Screen size too small, not set 4K flag");
    }
    g_fourK = fourK;
    return fourK;
}

bool IsFourK()
{
    return g_fourK;
}

void SetFourK(bool fourK)
{
    g_fourK = fourK;
}

int Scaled(int value)
{
    return IsFourK() ? 2 * value : value;
}

QRect Scaled(const QRect& rect)
{
    return IsFourK() ? QRect(rect.topLeft() * 2, rect.size() * 2) : rect;
}

double SkinScale()
{
    return IsFourK() ? 2.0 : 1.0;
}

double DecidePictureRatio(double screenRatio)
{
    g_pictureRatio = screenRatio > 1.0 ? 2.0 : 1.0;
    return g_pictureRatio;
}

double PictureRatio()
{
    return g_pictureRatio;
}

void SetPictureRatio(double ratio)
{
    g_pictureRatio = ratio;
}

}  // namespace zorvan
