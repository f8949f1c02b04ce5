#include "engine/line_diff.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace rw {
namespace {

using Index = std::ptrdiff_t;

constexpr Index kContext = 3;

// Past this many edits from either end of a middle-snake search the search
// stops and splits at the furthest point reached: the two halves are still
// diffed, only their alignment may no longer be the shortest. Exact up to
// about twice this many changed lines between two common lines.
constexpr Index kCostLimit = 1024;

// Diagonals visited plus lines compared over one whole diff. Once spent,
// every range still to do is marked changed as a whole, so two unrelated
// 10 MB texts take a fraction of a second, not minutes.
constexpr std::int64_t kWorkBudget = std::int64_t{1} << 27;

std::uint64_t HashLine(std::string_view line) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
  std::uint64_t hash = 0x243F6A8885A308D3ULL ^ line.size();
  std::size_t i = 0;
  for (; i + 8 <= line.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, line.data() + i, 8);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 32;
  }
  if (i < line.size()) {
    std::uint64_t tail = 0;
    std::memcpy(&tail, line.data() + i, line.size() - i);
    hash = (hash ^ tail) * kMultiplier;
    hash ^= hash >> 29;
  }
  return hash;
}

// Gives equal lines equal numbers, so that the search compares integers:
// open addressing on the hash, then the bytes.
class LineNumbering {
 public:
  explicit LineNumbering(std::size_t lines) {
    std::size_t size = 16;
    while (size < 2 * lines) size *= 2;
    slots_.assign(size, kEmpty);
  }

  std::uint32_t Of(std::string_view line) {
    const std::uint64_t hash = HashLine(line);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const std::uint32_t slot = slots_[i];
      if (slot == kEmpty) {
        slots_[i] = static_cast<std::uint32_t>(kinds_.size());
        kinds_.push_back({hash, line});
        return slots_[i];
      }
      if (kinds_[slot].hash == hash && kinds_[slot].line == line) return slot;
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;
  struct Kind {
    std::uint64_t hash;
    std::string_view line;
  };
  std::vector<std::uint32_t> slots_;  // at most half full
  std::vector<Kind> kinds_;
};

// Myers' O(ND) difference algorithm in linear space: each range is split at
// the middle snake of a shortest edit script. Marks the lines that are not
// on the common subsequence.
class Myers {
 public:
  Myers(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, std::uint8_t* changedA,
        std::uint8_t* changedB)
      : a_(a),
        b_(b),
        changedA_(changedA),
        changedB_(changedB),
        offset_(static_cast<Index>(b.size()) + 1),
        forward_(new Index[a.size() + b.size() + 3]),
        backward_(new Index[a.size() + b.size() + 3]) {}

  void Run() {
    // A work list rather than recursion: capped splits can chain deeply.
    std::vector<Range> todo{{0, static_cast<Index>(a_.size()), 0, static_cast<Index>(b_.size())}};
    while (!todo.empty()) {
      Range r = todo.back();
      todo.pop_back();
      while (r.aLo < r.aHi && r.bLo < r.bHi && a_[r.aLo] == b_[r.bLo]) ++r.aLo, ++r.bLo;
      while (r.aLo < r.aHi && r.bLo < r.bHi && a_[r.aHi - 1] == b_[r.bHi - 1]) --r.aHi, --r.bHi;
      Range first, second;
      if (r.aLo == r.aHi || r.bLo == r.bHi || work_ > kWorkBudget || !MiddleSnake(r, first, second)) {
        std::fill(changedA_ + r.aLo, changedA_ + r.aHi, 1);
        std::fill(changedB_ + r.bLo, changedB_ + r.bHi, 1);
        continue;
      }
      todo.push_back(second);
      todo.push_back(first);
    }
  }

 private:
  struct Range {
    Index aLo, aHi, bLo, bHi;
  };

  // Finds where to split `r` (which starts and ends with differing lines)
  // into `first` and `second`; false when the work budget ran out.
  // Diagonal k holds the points with x - y = k; forward[k] is the furthest x
  // reached from the start with d edits, backward[k] the smallest x reached
  // from the end. A step that would leave the grid is clamped to its edge,
  // which is still reachable with the same number of edits.
  bool MiddleSnake(const Range& r, Range& first, Range& second) {
    const std::uint32_t* a = a_.data() + r.aLo;
    const std::uint32_t* b = b_.data() + r.bLo;
    const Index n = r.aHi - r.aLo, m = r.bHi - r.bLo, delta = n - m;
    const bool odd = (delta & 1) != 0;
    Index* forward = forward_.get() + offset_;
    Index* backward = backward_.get() + offset_;
    const auto split = [&](Index x0, Index y0, Index x1, Index y1) {
      first = {r.aLo, r.aLo + x0, r.bLo, r.bLo + y0};
      second = {r.aLo + x1, r.aHi, r.bLo + y1, r.bHi};
      return true;
    };
    forward[0] = 0;
    backward[delta] = n;
    Index fLo = 0, fHi = 0, bLo = delta, bHi = delta;
    for (Index d = 1;; ++d) {
      const Index nfLo = fLo > -m ? fLo - 1 : fLo + 1, nfHi = fHi < n ? fHi + 1 : fHi - 1;
      for (Index k = nfLo; k <= nfHi; k += 2) {
        Index x = -1;
        if (k - 1 >= fLo) x = std::min(forward[k - 1] + 1, n);
        if (k + 1 <= fHi) x = std::max(x, std::min(forward[k + 1], m + k));
        const Index x0 = x, y0 = x - k;
        Index y = y0;
        while (x < n && y < m && a[x] == b[y]) ++x, ++y;
        work_ += 1 + (x - x0);
        forward[k] = x;
        if (odd && k >= bLo && k <= bHi && x >= backward[k]) return split(x0, y0, x, y);
      }
      fLo = nfLo, fHi = nfHi;

      const Index nbLo = bLo > -m ? bLo - 1 : bLo + 1, nbHi = bHi < n ? bHi + 1 : bHi - 1;
      for (Index k = nbLo; k <= nbHi; k += 2) {
        const Index lowest = std::max<Index>(0, k);
        Index x = n + 1;
        if (k + 1 <= bHi) x = std::max(backward[k + 1] - 1, lowest);
        if (k - 1 >= bLo) x = std::min(x, std::max(backward[k - 1], lowest));
        const Index x1 = x, y1 = x - k;
        Index y = y1;
        while (x > 0 && y > 0 && a[x - 1] == b[y - 1]) --x, --y;
        work_ += 1 + (x1 - x);
        backward[k] = x;
        if (!odd && k >= fLo && k <= fHi && forward[k] >= x) return split(x, y, x1, y1);
      }
      bLo = nbLo, bHi = nbHi;

      if (work_ > kWorkBudget) return false;
      if (d >= kCostLimit) {
        Index bestX = 0, bestY = 0, bestGain = -1;
        for (Index k = fLo; k <= fHi; k += 2)
          if (2 * forward[k] - k > bestGain) bestX = forward[k], bestY = forward[k] - k, bestGain = bestX + bestY;
        for (Index k = bLo; k <= bHi; k += 2)
          if (n + m - (2 * backward[k] - k) > bestGain)
            bestX = backward[k], bestY = backward[k] - k, bestGain = n + m - bestX - bestY;
        if ((bestX == 0 && bestY == 0) || (bestX == n && bestY == m)) return false;
        return split(bestX, bestY, bestX, bestY);
      }
    }
  }

  const std::vector<std::uint32_t>& a_;
  const std::vector<std::uint32_t>& b_;
  std::uint8_t* changedA_;
  std::uint8_t* changedB_;
  const Index offset_;  // diagonals of a range lie within [-b.size(), a.size()]
  // Left uninitialised: a search writes each diagonal before reading it,
  // and pages it never reaches cost no memory.
  std::unique_ptr<Index[]> forward_;
  std::unique_ptr<Index[]> backward_;
  std::int64_t work_ = 0;
};

// Moves a run of lines changed on one side only down past following lines
// equal to its first line, so that a repeated line shows as added or
// removed last, as readers expect. It joins runs it meets and stops next to
// a change of the other side. `other` is where the run sits in the other
// side's lines; all three positions move with it.
void SlideDown(const std::vector<std::uint32_t>& ids, std::uint8_t* changed, std::size_t& start, std::size_t& end,
               const std::uint8_t* otherChanged, std::size_t otherSize, std::size_t& other) {
  while (end < ids.size() && !changed[end] && ids[start] == ids[end]) {
    changed[start++] = 0;
    changed[end++] = 1;
    ++other;  // the common line passed over now comes before the run on both sides
    while (end < ids.size() && changed[end]) ++end;
    if (other < otherSize && otherChanged[other]) break;
  }
}

void SlideRunsDown(const std::vector<std::uint32_t>& idsA, std::uint8_t* changedA,
                   const std::vector<std::uint32_t>& idsB, std::uint8_t* changedB) {
  std::size_t i = 0, j = 0;
  while (i < idsA.size() || j < idsB.size()) {
    if (i < idsA.size() && j < idsB.size() && !changedA[i] && !changedB[j]) {
      ++i, ++j;
      continue;
    }
    std::size_t endA = i, endB = j;
    while (endA < idsA.size() && changedA[endA]) ++endA;
    while (endB < idsB.size() && changedB[endB]) ++endB;
    if (endA == i) SlideDown(idsB, changedB, j, endB, changedA, idsA.size(), i);
    if (endB == j) SlideDown(idsA, changedA, i, endA, changedB, idsB.size(), j);
    while (i < idsA.size() && changedA[i]) ++i;
    while (j < idsB.size() && changedB[j]) ++j;
  }
}

// The lines of one side around its changed middle: up to kContext common
// lines before and after it, so that hunks can show their context.
struct Side {
  std::string_view text;
  std::vector<std::size_t> starts;  // each line's offset, then the end
  std::size_t linesBefore = 0;      // lines of the text before `starts`
  std::size_t middleBegin = 0, middleEnd = 0;
  std::vector<std::uint8_t> changed;

  Side(std::string_view whole, std::size_t contextBegin, std::size_t contextLines, std::size_t middleEndOffset,
       std::size_t linesAbove)
      : text(whole), linesBefore(linesAbove), middleBegin(contextLines) {
    std::size_t end = middleEndOffset, after = 0;
    for (; after < kContext && end < text.size(); ++after) {
      const std::size_t newline = text.find('\n', end);
      end = newline == std::string_view::npos ? text.size() : newline + 1;
    }
    const std::string_view region = text.substr(contextBegin, end - contextBegin);
    starts.reserve(std::count(region.begin(), region.end(), '\n') + 2);
    for (std::size_t pos = contextBegin; pos < end;) {
      starts.push_back(pos);
      const void* newline = std::memchr(text.data() + pos, '\n', end - pos);
      pos = newline ? static_cast<const char*>(newline) - text.data() + 1 : end;
    }
    starts.push_back(end);
    middleEnd = Size() - after;
    changed.assign(Size(), 0);
  }

  std::size_t Size() const { return starts.size() - 1; }
  std::string_view Line(std::size_t i) const { return text.substr(starts[i], starts[i + 1] - starts[i]); }
};

void AppendLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

// A range of a hunk header: "start,count", with ",1" left out and an empty
// range named by the line before it.
std::string HunkRange(std::size_t start, std::size_t count) {
  if (count == 1) return std::to_string(start + 1);
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

struct Change {
  std::size_t a0, a1, b0, b1;  // old lines [a0, a1) became new lines [b0, b1)
};

void AppendHunks(std::string& out, const Side& a, const Side& b) {
  std::vector<Change> changes;
  for (std::size_t i = 0, j = 0; i < a.Size() || j < b.Size();) {
    if (i < a.Size() && j < b.Size() && !a.changed[i] && !b.changed[j]) {
      ++i, ++j;
      continue;
    }
    Change c{i, i, j, j};
    while (i < a.Size() && a.changed[i]) ++i;
    while (j < b.Size() && b.changed[j]) ++j;
    if (i == c.a0 && j == c.b0) break;  // unequal counts of common lines: cannot happen
    c.a1 = i, c.b1 = j;
    changes.push_back(c);
  }
  for (std::size_t first = 0; first < changes.size();) {
    std::size_t last = first;
    while (last + 1 < changes.size() && changes[last + 1].a0 - changes[last].a1 <= 2 * kContext) ++last;
    const std::size_t lead = std::min<std::size_t>(kContext, changes[first].a0 - (first ? changes[first - 1].a1 : 0));
    const std::size_t next = last + 1 < changes.size() ? changes[last + 1].a0 : a.Size();
    const std::size_t trail = std::min<std::size_t>(kContext, next - changes[last].a1);
    const std::size_t aStart = changes[first].a0 - lead, aEnd = changes[last].a1 + trail;
    const std::size_t bStart = changes[first].b0 - lead, bEnd = changes[last].b1 + trail;
    out += "@@ -" + HunkRange(a.linesBefore + aStart, aEnd - aStart) + " +" +
           HunkRange(b.linesBefore + bStart, bEnd - bStart) + " @@\n";
    std::size_t i = aStart;
    for (std::size_t c = first; c <= last; ++c) {
      for (; i < changes[c].a0; ++i) AppendLine(out, ' ', a.Line(i));
      for (; i < changes[c].a1; ++i) AppendLine(out, '-', a.Line(i));
      for (std::size_t j = changes[c].b0; j < changes[c].b1; ++j) AppendLine(out, '+', b.Line(j));
    }
    for (; i < aEnd; ++i) AppendLine(out, ' ', a.Line(i));
    first = last + 1;
  }
}

std::vector<std::uint32_t> Numbered(LineNumbering& numbering, const Side& side) {
  std::vector<std::uint32_t> ids;
  ids.reserve(side.middleEnd - side.middleBegin);
  for (std::size_t i = side.middleBegin; i < side.middleEnd; ++i) ids.push_back(numbering.Of(side.Line(i)));
  return ids;
}

}  // namespace

std::string UnifiedDiff(std::string_view oldText, std::string_view newText, std::string_view path) {
  if (oldText == newText) return {};

  // Common lines at both ends are set aside before any line is hashed.
  const std::size_t shorter = std::min(oldText.size(), newText.size());
  std::size_t prefix =
      std::mismatch(oldText.begin(), oldText.begin() + shorter, newText.begin()).first - oldText.begin();
  while (prefix > 0 && oldText[prefix - 1] != '\n') --prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix && oldText[oldText.size() - 1 - suffix] == newText[newText.size() - 1 - suffix])
    ++suffix;
  const auto atLineStart = [prefix](std::string_view text, std::size_t pos) {
    return pos == prefix || text[pos - 1] == '\n';
  };
  if (!atLineStart(oldText, oldText.size() - suffix) || !atLineStart(newText, newText.size() - suffix)) {
    const std::size_t newline = oldText.find('\n', oldText.size() - suffix);
    suffix = newline == std::string_view::npos ? 0 : oldText.size() - newline - 1;
  }

  std::size_t contextBegin = prefix, contextLines = 0;
  for (; contextLines < kContext && contextBegin > 0; ++contextLines) {
    --contextBegin;
    while (contextBegin > 0 && oldText[contextBegin - 1] != '\n') --contextBegin;
  }
  const std::size_t linesAbove = std::count(oldText.begin(), oldText.begin() + contextBegin, '\n');
  Side a(oldText, contextBegin, contextLines, oldText.size() - suffix, linesAbove);
  Side b(newText, contextBegin, contextLines, newText.size() - suffix, linesAbove);

  {
    LineNumbering numbering((a.middleEnd - a.middleBegin) + (b.middleEnd - b.middleBegin));
    const std::vector<std::uint32_t> idsA = Numbered(numbering, a);
    const std::vector<std::uint32_t> idsB = Numbered(numbering, b);
    Myers(idsA, idsB, a.changed.data() + a.middleBegin, b.changed.data() + b.middleBegin).Run();
    SlideRunsDown(idsA, a.changed.data() + a.middleBegin, idsB, b.changed.data() + b.middleBegin);
  }

  std::string out = "--- a/" + std::string(path) + "\n+++ b/" + std::string(path) + "\n";
  AppendHunks(out, a, b);
  return out;
}

DiffOrSizes DiffOrSizesOf(std::string_view oldText, std::string_view newText, std::string_view path,
                          std::size_t limit) {
  DiffOrSizes change;
  change.oldSize = oldText.size();
  change.newSize = newText.size();
  change.tooLarge = (oldText.size() > limit || newText.size() > limit) && oldText != newText;
  if (!change.tooLarge) change.diff = UnifiedDiff(oldText, newText, path);
  return change;
}

std::string PreviewText(const DiffOrSizes& change, std::string_view path) {
  if (!change.tooLarge) return change.diff;
  return std::string(path) + ": changed, " + std::to_string(change.oldSize) + " \u2192 " +
         std::to_string(change.newSize) + " bytes (too large to show line by line)\n";
}

}  // namespace rw
