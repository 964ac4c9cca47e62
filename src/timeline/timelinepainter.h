#pragma once

class QPainter;

namespace taskloom {

class TimelineGeometry;
class TimelineScene;
struct TimelineStyle;

// The one way a timeline is drawn, on screen and in every picture format: the
// painter's device decides where it ends up. Draws only the rows and days in
// the geometry's view, and cuts every shape to its band itself (the SVG
// writer ignores clipping).
class TimelinePainter {
public:
    static void paint(QPainter& painter, const TimelineScene& scene,
                      const TimelineGeometry& geometry, const TimelineStyle& style);
};

} // namespace taskloom
