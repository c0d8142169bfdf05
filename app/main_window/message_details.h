#pragma once
// The detail lines that the message boxes carry below their fixed text: what
// went wrong and where.

#include <QString>
#include <cstdint>
#include <string>

// Open's message for a file that is not a proper sequence; when the file
// reads as a table, a second line points to Import.
QString incorrectSequenceMessage(const std::string& path);

// For "Incorrect sequence file": the file and, when a token is to blame, its
// line and the token, e.g. "/data/run 3.txt, line 12: "1,5" is not a
// number." or "/data/empty.txt holds no number.". Empty when the file can no
// longer be read (the box then stands as it is).
QString incorrectSequenceDetail(const QString& fileName);

// For the notice of a count that switched to the from-to matrix: the number
// of values of the combined sequence and the limit from which every count
// uses load bins.
QString matrixAppliedDetail(std::int32_t sequenceLength);
