#pragma once
// Which count a request makes: rainflow (count()) or one of the counts
// beside it (countOther()).

namespace tessivo {

enum class CountMethod { Rainflow, LevelCrossing, RangePair, TimeAtLevel };

} // namespace tessivo
