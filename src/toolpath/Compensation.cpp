// The pass over the blocks: compensation switched on and off, the entry and exit moves, and what happens
// after an error (the path goes on as programmed).
#include "toolpath/Compensation.hpp"

#include <cmath>

#include "toolpath/Compengine.hpp"
#include "util/Number.hpp"
#include "util/Text.hpp"

CornerModel cornerModelOf(Control control) {
  return control == Control::fanuc || control == Control::haas ? CornerModel::intersections : CornerModel::arcs;
}

CompensatedPath compensate(const kNcGeometry& geometry, const ControlProfile& profile) {
  CompensatedPath path;
  Compensator(geometry, profile, path).run();
  return path;
}

namespace {

double pieceLength(const CompPiece& p) {
  if (!p.isArc()) return std::hypot(p.ex - p.sx, p.ey - p.sy, p.ez - p.sz);
  // In the plane's axes (a, b), with the normal n that a helix travels along.
  const bool xz = p.plane == 18;
  const Vec2 s = xz ? Vec2{p.sz, p.sx} : Vec2{p.sx, p.sy};
  const Vec2 e = xz ? Vec2{p.ez, p.ex} : Vec2{p.ex, p.ey};
  const Vec2 c = xz ? Vec2{p.cz, p.cx} : Vec2{p.cx, p.cy};
  const double rise = xz ? p.ey - p.sy : p.ez - p.sz;
  return std::hypot(length(s - c) * sweepOf(c, s, e, p.kind == PieceKind::arcCcw), rise);
}

}  // namespace

std::vector<BlockLength> toolCentreLengths(const CompensatedPath& path) {
  std::vector<BlockLength> lengths;
  for (const CompPiece& p : path.pieces) {
    if (lengths.empty() || lengths.back().block != p.block) lengths.push_back({p.block, 0});
    lengths.back().length += pieceLength(p);
  }
  return lengths;
}

Compensator::Compensator(const kNcGeometry& g, const ControlProfile& profile, CompensatedPath& out)
    : g_(g),
      profile_(profile),
      out_(out),
      model_(cornerModelOf(profile.control)),
      table_(readProfileToolTable(profile)) {}

void Compensator::run() {
  for (int b = 1; b < g_.blockCount; ++b) block(b);
  if (state_ != State::entry && state_ != State::on) return;
  // Still on at the end: said at the M02 or M30 that ends the program, else at the last block.
  int end = g_.blockCount - 1;
  for (int b = end; b > turnedOnAt_; --b) {
    if (compWordsOf(g_.blockTextAt(b)).programEnd) {
      end = b;
      break;
    }
  }
  note(end, Rule::compOpenAtEnd);
}

void Compensator::block(int b) {
  const int code = gNumberAt(g_.groupCutterComp, b);
  const bool wantOn = code == 41 || code == 42;
  // Most blocks of most programs: compensation off and staying off.
  if (state_ == State::off && !wantOn) return;
  // The words are read where the compensation code changes, and where it may come on. The arc model's
  // control refuses a G41 or G42 given again unchanged too; the others take it as no change.
  const int before = gNumberAt(g_.groupCutterComp, b - 1);
  const bool active = state_ == State::entry || state_ == State::on;
  const bool repeated = active && model_ == CornerModel::arcs && g_.cutterCompRepeatedAt(b);
  const bool read = code != before || state_ == State::off || state_ == State::exit || repeated;
  const CompWords words = read ? compWordsOf(g_.blockTextAt(b)) : CompWords{};
  const bool given = words.g41 || words.g42;
  if (active && !wantOn) {
    turnOff();
  } else if (active && given) {
    // The arc model's control refuses it; the others change side with a new entry.
    if (model_ == CornerModel::arcs) {
      fail(planeMoveOf(g_, b, plane_), Rule::compAlreadyOn);
      return;
    } else {
      flush();
      turnOn(b, words, code);
    }
  } else if (!active && wantOn && (state_ != State::suspended || given) &&
             (state_ != State::exit || given || before == 40)) {
    turnOn(b, words, code);
  } else if (state_ == State::suspended && !wantOn) {
    state_ = State::off;
  }
  if (state_ != State::off && state_ != State::suspended) {
    const int plane = gNumberAt(g_.groupPlane, b);
    if ((state_ == State::entry || state_ == State::on) && plane != plane_) {
      fail(planeMoveOf(g_, b, plane_), Rule::compPlane, 1);
    } else {
      move(planeMoveOf(g_, b, plane_));
    }
  }
}

void Compensator::turnOn(int b, const CompWords& words, int code) {
  const int plane = gNumberAt(g_.groupPlane, b);
  if (plane != 17 && plane != 18) {
    note(b, Rule::compPlane, 0);
    state_ = State::suspended;
    return;
  }
  if (state_ == State::off || state_ == State::suspended) {
    const PlaneMove m = planeMoveOf(g_, b, plane);
    q_ = m.start;
    qn_ = m.n0;
  }
  plane_ = plane;
  side_ = code == 41 ? 1 : -1;
  RadiusQuery query;
  if (words.diameterComp && words.d) query.blockDiameter = *words.d;
  if (words.d) {
    query.offset = truncToInt(*words.d);
  } else if (g_.d.get(b) != 0) {
    query.offset = truncToInt(g_.d.get(b));
  }
  query.tool = truncToInt(g_.wordTAt(b));
  query.commentDiameter = commentDiameterAt(b);
  const std::optional<double> radius = toolRadius(query, profile_, table_);
  if (!radius) {
    note(b, Rule::compRadiusUnknown).setToken(code == 41 ? u"G41" : u"G42");
    state_ = State::suspended;
    return;
  }
  r_ = *radius;
  state_ = State::entry;
  turnedOnAt_ = b;
  // A compensated program usually stays compensated: room for a piece and a half per block to come, once.
  if (out_.pieces.capacity() == 0) out_.pieces.reserve(static_cast<std::size_t>(g_.blockCount - b) * 3 / 2 + 4);
}

void Compensator::turnOff() {
  if (state_ != State::on) flush();
  state_ = state_ == State::on ? State::exit : State::off;
}

std::optional<double> Compensator::commentDiameterAt(int b) {
  return g_.diameterGivenAt(b) ? std::optional<double>(g_.toolDiameter.get(b)) : std::nullopt;
}

void Compensator::move(const PlaneMove& m) {
  if (isHoleOrStill(m)) return;
  // The arc model's control takes any move as the entry, one along the normal too (and finds it too short).
  if (!m.inPlane && state_ == State::entry && model_ == CornerModel::arcs && r_ > 0) {
    return fail(m, Rule::compEntryTooShort, 0, 0, r_);
  }
  if (!m.inPlane) return normalOnly(m);
  if (state_ == State::exit) return exitMove(m);
  if (r_ == 0) {
    emitMove(m, m.start, m.end, m.centre, compSide());
    q_ = m.end;
    qn_ = m.n1;
    state_ = State::on;
    return;
  }
  if (state_ == State::entry) return entryMove(m);
  steadyMove(m);
}

void Compensator::entryMove(const PlaneMove& m) {
  const double distance = length(m.end - q_);
  if (distance <= r_) return fail(m, Rule::compEntryTooShort, 0, distance, r_);
  if (m.arc && model_ == CornerModel::intersections) return fail(m, Rule::compEntryArc);
  if (m.arc && inside(m.ccw) && m.radius <= r_) return fail(m, Rule::compArcTooSmall, 0, m.radius, r_);
  const Vec2 endTangent = m.arc ? arcTangent(m.centre, m.end, m.ccw) : unit(m.end - q_);
  const Vec2 end = m.end + (side_ * r_) * leftNormal(endTangent);
  Vec2 centre = m.centre;
  if (m.arc) {
    // The arc from the uncompensated start to the offset end keeps its centre on the line from that end
    // through the programmed centre, as far from both ends.
    const double halfChord = length(q_ - end) / 2;
    const double towardsCentre = angleOf(m.centre - end);
    const double cosA = std::cos(angleOf(q_ - end) - towardsCentre);
    if (std::abs(cosA) < 1e-12) return fail(m, Rule::compArcTooSmall, 0, m.radius, r_);
    centre = end + (halfChord / cosA) * direction(towardsCentre);
  }
  const std::size_t index = emit(m.block, pieceKindOf(m), q_, qn_, end, m.n1, centre, compSide());
  queued_ = {true, m.arc, m.ccw, index, q_, end, centre, {}, sweepOf(centre, q_, end, m.ccw)};
  q_ = end;
  qn_ = m.n1;
  state_ = State::on;
}

void Compensator::exitMove(const PlaneMove& m) {
  if (m.arc) return fail(m, Rule::compExitArc);
  // The move held back is checked as at any corner before the tool leaves it.
  if (!moveQueuedEnd(m, q_, true)) return;
  emit(m.block, m.rapid ? PieceKind::rapid : PieceKind::line, q_, qn_, m.end, m.n1, {}, CompSide::none);
  state_ = State::off;
}

void Compensator::normalOnly(const PlaneMove& m) {
  const CompSide side = state_ == State::exit ? CompSide::none : compSide();
  emit(m.block, m.rapid ? PieceKind::rapid : PieceKind::line, q_, qn_, q_, m.n1, {}, side);
  qn_ = m.n1;
}

Finding& Compensator::note(int b, Rule rule, std::uint8_t detail, double n0, double n1) {
  Finding& f = out_.findings.emplace_back();
  f.line = b;
  f.rule = rule;
  f.detail = detail;
  f.numbers[0] = n0;
  f.numbers[1] = n1;
  return f;
}

void Compensator::fail(const PlaneMove& m, Rule rule, std::uint8_t detail, double n0, double n1) {
  note(m.block, rule, detail, n0, n1);
  flush();
  state_ = State::suspended;
  if (isHoleOrStill(m)) return;
  // The tool stands where compensation left it: it goes to the programmed start, then as programmed.
  if (length(q_ - m.start) > 1e-9 || qn_ != m.n0) {
    emit(m.block, PieceKind::line, q_, qn_, m.start, m.n0, {}, CompSide::none);
  }
  emitMove(m, m.start, m.end, m.centre, CompSide::none);
}

void Compensator::emitMove(const PlaneMove& m, Vec2 start, Vec2 end, Vec2 centre, CompSide side) {
  const double n0 = side == CompSide::none ? m.n0 : qn_;
  const std::size_t index = emit(m.block, pieceKindOf(m), start, n0, end, m.n1, centre, side);
  if (side != CompSide::none) {
    // Only an arc's sweep is ever looked at: a line's would cost two arc tangents for nothing.
    const double sweep = m.arc ? sweepOf(m.centre, m.start, m.end, m.ccw) : 0;
    queued_ = {true, m.arc, m.ccw, index, start, end, centre, m.end - m.start, sweep};
  }
}

namespace {

void toXyz(int plane, Vec2 p, double n, double& x, double& y, double& z) {
  if (plane == 18) {
    z = p.a, x = p.b, y = n;
  } else {
    x = p.a, y = p.b, z = n;
  }
}

}  // namespace

std::size_t Compensator::emit(int b, PieceKind kind, Vec2 s, double sn, Vec2 e, double en, Vec2 centre,
                              CompSide side, bool corner) {
  CompPiece& p = out_.pieces.emplace_back();
  p.block = b;
  p.kind = kind;
  p.side = side;
  p.corner = corner;
  p.plane = static_cast<std::uint8_t>(plane_);
  toXyz(plane_, s, sn, p.sx, p.sy, p.sz);
  toXyz(plane_, e, en, p.ex, p.ey, p.ez);
  toXyz(plane_, centre, sn, p.cx, p.cy, p.cz);
  return out_.pieces.size() - 1;
}

void Compensator::setEnd(std::size_t index, Vec2 e) {
  // Moves along the normal held back behind the piece stand at its new end.
  for (std::size_t i = index; i < out_.pieces.size(); ++i) {
    CompPiece& p = out_.pieces[i];
    toXyz(plane_, e, plane_ == 18 ? p.ey : p.ez, p.ex, p.ey, p.ez);
    if (i > index) toXyz(plane_, e, plane_ == 18 ? p.sy : p.sz, p.sx, p.sy, p.sz);
  }
}
