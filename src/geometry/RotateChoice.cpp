#include "geometry/RotateChoice.h"

#include "geometry/Rotate.h"

namespace {

enum class Direction { Left, Right, Either };

using TurnFunction = void (*)(const TDibRecord&, TDibRecord&, ProgressSink&);

struct FixedTurn {
    RotateAngle angle;
    Direction direction;
    TurnFunction turn;
};

// Three quarters one way are one quarter the other way.
constexpr FixedTurn kFixedTurns[] = {
    {RotateAngle::Deg90, Direction::Left, RotLeft},
    {RotateAngle::Deg90, Direction::Right, RotRight},
    {RotateAngle::Deg270, Direction::Left, RotRight},
    {RotateAngle::Deg270, Direction::Right, RotLeft},
    {RotateAngle::Deg180, Direction::Either, Rot180},
};

} // namespace

void RunRotation(const TDibRecord& Src, const RotateChoice& choice, TDibRecord& Result,
                 ProgressSink& progress)
{
    const Direction direction = choice.Right ? Direction::Right : Direction::Left;
    for (const FixedTurn& f : kFixedTurns) {
        if (f.angle == choice.Angle &&
            (f.direction == Direction::Either || f.direction == direction)) {
            f.turn(Src, Result, progress);
            return;
        }
    }
    DibRotxxx(Src, choice.Right, choice.Degrees, choice.Background, Result, progress);
}
