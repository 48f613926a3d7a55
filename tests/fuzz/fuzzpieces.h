#pragma once

// What the fuzz targets share: a property check that aborts, so that libFuzzer
// records the input, and the ways of cutting one input into the pieces in
// which a reader may receive it.

#include <QByteArrayView>
#include <QList>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Fails the run on a broken property, naming it; unlike assert it stays in
// every build type.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// The input as pieces whose lengths the fuzzer chooses: they are read from
// the input's own tail, so one mutation may move the cut points, the content,
// or both. Empty pieces are included, as a reader may be handed one.
[[nodiscard]] inline QList<QByteArrayView> FuzzerChosenPieces(const std::uint8_t *data,
                                                              std::size_t size)
{
    FuzzedDataProvider choices(data, size);
    const QByteArrayView whole(data, static_cast<qsizetype>(size));
    QList<QByteArrayView> pieces;
    qsizetype at = 0;
    while (at < whole.size()) {
        const auto length = qMin<qsizetype>(
            choices.ConsumeIntegralInRange<qsizetype>(0, 64), whole.size() - at);
        pieces.append(whole.sliced(at, length));
        at += length;
        // Once the choices run out every length reads as 0: take the rest whole.
        if (choices.remaining_bytes() == 0 && at < whole.size()) {
            pieces.append(whole.sliced(at));
            break;
        }
    }
    return pieces;
}

// The input one byte at a time.
[[nodiscard]] inline QList<QByteArrayView> SingleBytePieces(const std::uint8_t *data,
                                                            std::size_t size)
{
    const QByteArrayView whole(data, static_cast<qsizetype>(size));
    QList<QByteArrayView> pieces;
    for (qsizetype at = 0; at < whole.size(); ++at)
        pieces.append(whole.sliced(at, 1));
    return pieces;
}
