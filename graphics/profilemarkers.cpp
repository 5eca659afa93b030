// The markers of a profile item: adding, moving, placing and finding them.
#include "graphics/diveprofileitem.h"

#include <algorithm>

int DiveProfileItem::addMarkerAt(double time, bool active, MarkerType type, const QString& text)
{
    int id = 0;
    for (const Marker& marker : std::as_const(mMarkers))
        id = std::max(id, marker.mId + 1);
    mMarkers.append(Marker(id, type, text, active));
    setMarkerAt(id, time, -1.0);
    return id;
}

void DiveProfileItem::setMarkerAt(int id, double time, double depth)
{
    if (!mDive || mDive->lines.isEmpty())
        return;
    const auto marker = std::find_if(mMarkers.begin(), mMarkers.end(), [id](const Marker& m) { return m.mId == id; });
    if (marker == mMarkers.end())
        return;
    marker->mTime = std::clamp(time, 0.0, std::max(0.0, mDive->maxTime));
    marker->mDepth = std::max(0.0, depth);
    UpdateMarkers();
    repaintScene();
}

void DiveProfileItem::UpdateMarkers()
{
    for (Marker& marker : mMarkers)
        marker.mPos = timeDepthToGraphCoordinates(marker.mTime, marker.mDepth);
}

void DiveProfileItem::removeMarker(int id)
{
    const auto marker = std::find_if(mMarkers.cbegin(), mMarkers.cend(), [id](const Marker& m) { return m.mId == id; });
    if (marker != mMarkers.cend())
        mMarkers.erase(marker);
}

QPointF DiveProfileItem::markerTopLeft(const Marker& marker) const
{
    // Below the title: a diver walking the surface stands under its line.
    const QPointF at = marker.mPos - QPointF(marker.mHotSpot);
    const double titleBottom = mDive ? profiletitle::kTop + mTitleSize.height() : 0.0;
    return QPointF(at.x(), std::max(at.y(), titleBottom));
}

Marker* DiveProfileItem::getMarkerAtPosition(const QPointF& point)
{
    // Later markers are drawn over earlier ones.
    for (auto marker = mMarkers.rbegin(); marker != mMarkers.rend(); ++marker) {
        if (!marker->mActive || !marker->mImage || marker->mImage->isNull())
            continue;
        const QRectF image(markerTopLeft(*marker), QSizeF(marker->mImage->size()));
        if (image.contains(point))
            return &*marker;
    }
    return nullptr;
}
