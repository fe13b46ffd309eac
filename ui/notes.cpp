#include "notes.h"

#include "widgets.h"

#include <QWidget>
#include <climits>
#include <vector>

namespace ui {

QRect inWindow(const QWidget* w, const QWidget* window) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); }

namespace {

// The red frame is drawn just outside the field; a note touching the field
// stands just outside that frame.
constexpr int gap = 3;

// How much a note may cover of each kind of control: nothing that takes input
// if there is any other place, a caption only if there is no free place, the
// inside of a frame rather than its title.
struct Obstacle {
    QRect rect;
    int weight;
    bool frameBody = false;
};

std::vector<Obstacle> obstacles(const QWidget* window, const QWidget* field, const QWidget* caption)
{
    std::vector<Obstacle> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
            continue;
        if (qobject_cast<Note*>(w) || w == caption)
            continue;
        const QRect r = inWindow(w, window);
        if (w == field)
            found.push_back({r.adjusted(-gap, -gap, gap, gap), 1000});
        else if (auto* frame = dynamic_cast<Frame*>(w)) {
            found.push_back({QRect(r.topLeft(), QSize(r.width(), frame->fontMetrics().height())), 10});
            found.push_back({r, 1, true});
        } else if (auto* label = qobject_cast<ClickLabel*>(w))
            found.push_back({r, label->isClickable() ? 100 : 10});
        else
            found.push_back({r, 100});
    }
    return found;
}

long long covered(const QRect& r, const std::vector<Obstacle>& around)
{
    long long sum = 0;
    for (const Obstacle& o : around) {
        const QRect cut = r.intersected(o.rect);
        if (!cut.isEmpty())
            sum += static_cast<long long>(cut.width()) * cut.height() * o.weight;
    }
    return sum;
}

// Covers no control: no caption, field or button, and lies wholly inside or
// wholly outside each frame rather than across its border.
bool coversNothing(const QRect& r, const std::vector<Obstacle>& around)
{
    for (const Obstacle& o : around)
        if (o.frameBody ? r.intersects(o.rect) && !o.rect.contains(r) : r.intersects(o.rect))
            return false;
    return true;
}

// The widths a note may take: on one line where the window has room for it,
// else wrapped narrower.
std::vector<QSize> sizes(Note* note, const QRect& near, const QSize& window)
{
    // Measured free of the size the note was given last time.
    note->setMinimumSize(0, 0);
    note->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    note->setWordWrap(false);
    const int oneLine = note->sizeHint().width();
    note->setWordWrap(true);
    std::vector<QSize> found;
    for (const int wanted : {oneLine, qMax(near.width(), 200), 150}) {
        const int width = qMin(wanted, window.width());
        found.emplace_back(width, qMin(note->heightForWidth(width), window.height()));
    }
    return found;
}

// The free places touching the field, below it first (where the eye goes
// on from a field), then right, above and left; along each side the place
// whose centre is nearest the field's.
QRect touching(const QRect& field, const std::vector<QSize>& sizes, const QSize& window,
               const std::vector<Obstacle>& around)
{
    const int step = 2;
    for (int side = 0; side < 4; ++side) {
        QRect best;
        int bestDistance = INT_MAX;
        for (const QSize& s : sizes) {
            const bool across = side == 0 || side == 2; // below or above: slides left and right
            const int from = across ? field.left() - s.width() + 1 : field.top() - s.height() + 1;
            const int to = across ? field.right() : field.bottom();
            for (int along = from; along <= to; along += step) {
                QPoint at;
                switch (side) {
                case 0: at = {along, field.bottom() + 1 + gap}; break;
                case 1: at = {field.right() + 1 + gap, along}; break;
                case 2: at = {along, field.top() - gap - s.height()}; break;
                default: at = {field.left() - gap - s.width(), along}; break;
                }
                const QRect r(at, s);
                if (r.left() < 0 || r.top() < 0 || r.right() >= window.width() || r.bottom() >= window.height())
                    continue;
                const int distance = (r.center() - field.center()).manhattanLength();
                if (distance < bestDistance && coversNothing(r, around)) {
                    bestDistance = distance;
                    best = r;
                }
            }
        }
        if (!best.isNull())
            return best;
    }
    return {};
}

// Of all the places in the window, the one that covers least of the
// controls, and among those the nearest to `near`.
QRect leastCovering(const QRect& near, const std::vector<QSize>& sizes, const QSize& window,
                    const std::vector<Obstacle>& around)
{
    const int step = 4;
    long long bestScore = LLONG_MAX;
    QRect best;
    for (const QSize& s : sizes) {
        for (int y = 0; y + s.height() <= window.height(); y += step) {
            for (int x = 0; x + s.width() <= window.width(); x += step) {
                const QRect r(QPoint(x, y), s);
                // Covering any control weighs more than any distance.
                const long long score = covered(r, around) * 4096 + (r.center() - near.center()).manhattanLength();
                if (score < bestScore) {
                    bestScore = score;
                    best = r;
                }
            }
        }
    }
    return best;
}

} // namespace

void placeNote(QWidget* window, Note* note, const QRect& near, const QWidget* field, const QWidget* caption)
{
    const std::vector<Obstacle> around = obstacles(window, field, caption);
    const std::vector<QSize> fits = sizes(note, near, window->size());
    QRect place = field ? touching(near, fits, window->size(), around) : QRect();
    if (place.isNull())
        place = leastCovering(near, fits, window->size(), around);
    note->setFixedSize(place.size());
    note->move(place.topLeft());
    note->raise();
}

} // namespace ui
