#include "render/exact/pixelcolours.h"

#include "document/colourstyles.h"
#include "document/fractaldocument.h"
#include "render/chaos/pointcolour.h"
#include "render/exact/lanedispatch.h"

#include <algorithm>

namespace Vorlane::exact {

namespace {

// What the lanes need of a style that does not go by cir alone.
struct Colouring
{
    ColourRule rule;
    qint32 colour1;
    qint32 colour2;
    qint64 totalPoints;
};

// Without lanes every point is left to the scalar code.
qint32 pixelsInNoLanes(const Colouring &, qint64, const float *, qint32, QRgb *)
{
    return 0;
}

#if VORLANE_AVX2_LANES

// Int(C1 + (C2 − C1) × t) for four t's, blendComponent's IEEE steps.
VORLANE_AVX2 __m128i blendedComponent(qint32 from, qint32 to, __m256d t)
{
    const __m256d difference = _mm256_set1_pd(double(qint16(to - from)));
    return _mm256_cvtpd_epi32(_mm256_floor_pd(_mm256_add_pd(_mm256_mul_pd(difference, t), _mm256_set1_pd(from))));
}

VORLANE_AVX2 __m256i blendedComponent(qint32 from, qint32 to, __m256d tLow, __m256d tHigh)
{
    return _mm256_set_m128i(blendedComponent(from, to, tHigh), blendedComponent(from, to, tLow));
}

// rgbOf in the lanes.
VORLANE_AVX2 __m256i pixelLanes(__m256i colour)
{
    const __m256i red = _mm256_slli_epi32(_mm256_and_si256(colour, _mm256_set1_epi32(0xff)), 16);
    const __m256i green = _mm256_and_si256(colour, _mm256_set1_epi32(0xff00));
    const __m256i blue = _mm256_srli_epi32(_mm256_and_si256(colour, _mm256_set1_epi32(0xff0000)), 16);
    return _mm256_or_si256(_mm256_or_si256(_mm256_set1_epi32(qint32(0xff000000u)), red), _mm256_or_si256(green, blue));
}

// blendColours of eight t's, as pixels.
VORLANE_AVX2 __m256i blendedPixels(qint32 colour1, qint32 colour2, __m256 t)
{
    const __m256d low = _mm256_cvtps_pd(_mm256_castps256_ps128(t));
    const __m256d high = _mm256_cvtps_pd(_mm256_extractf128_ps(t, 1));
    const __m256i blue = blendedComponent(colourBlue(colour1), colourBlue(colour2), low, high);
    const __m256i green = blendedComponent(colourGreen(colour1), colourGreen(colour2), low, high);
    const __m256i red = blendedComponent(colourRed(colour1), colourRed(colour2), low, high);
    // rgbColour's red + 256 × green + 65536 × blue.
    const __m256i colour =
        _mm256_add_epi32(red, _mm256_add_epi32(_mm256_slli_epi32(green, 8), _mm256_slli_epi32(blue, 16)));
    return pixelLanes(colour);
}

// The point number over the run's count as a float, eight numbers from first on.
VORLANE_AVX2 __m256 pointNumberFractions(qint64 first, __m256d totalPoints)
{
    // Point numbers stay far below 2^53, so the sums are exact.
    const __m256d base = _mm256_set1_pd(double(first));
    const __m256d low = _mm256_add_pd(base, _mm256_setr_pd(0, 1, 2, 3));
    const __m256d high = _mm256_add_pd(base, _mm256_setr_pd(4, 5, 6, 7));
    return _mm256_set_m128(_mm256_cvtpd_ps(_mm256_div_pd(high, totalPoints)),
                           _mm256_cvtpd_ps(_mm256_div_pd(low, totalPoints)));
}

VORLANE_AVX2 void store(QRgb *pixels, __m256i eight)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(pixels), eight);
}

// The pixels of eight points at a time; returns how many it did, the rest
// being fewer than eight.
VORLANE_AVX2 qint32 pixelsInLanes(const Colouring &colouring, qint64 first, const float *drawn, qint32 count,
                                  QRgb *pixels)
{
    constexpr qint32 lanes = 8;
    const qint32 done = count / lanes * lanes;
    switch (colouring.rule) {
    case ColourRule::BlendAtRandom:
        for (qint32 i = 0; i < done; i += lanes)
            store(pixels + i, blendedPixels(colouring.colour1, colouring.colour2, _mm256_loadu_ps(drawn + i)));
        return done;
    case ColourRule::BlendByPointNumber: {
        const __m256d totalPoints = _mm256_set1_pd(double(colouring.totalPoints));
        for (qint32 i = 0; i < done; i += lanes)
            store(pixels + i, blendedPixels(colouring.colour1, colouring.colour2, pointNumberFractions(first + i, totalPoints)));
        return done;
    }
    case ColourRule::PickAtRandom: {
        const __m256i pixel1 = _mm256_set1_epi32(qint32(rgbOf(colouring.colour1)));
        const __m256i pixel2 = _mm256_set1_epi32(qint32(rgbOf(colouring.colour2)));
        for (qint32 i = 0; i < done; i += lanes) {
            const __m256 colour1 = _mm256_cmp_ps(_mm256_loadu_ps(drawn + i), _mm256_set1_ps(0.5f), _CMP_LE_OQ);
            store(pixels + i, _mm256_blendv_epi8(pixel2, pixel1, _mm256_castps_si256(colour1)));
        }
        return done;
    }
    case ColourRule::BlendByIteration:
        break; // by table
    }
    return 0;
}

#else

constexpr auto pixelsInLanes = pixelsInNoLanes;

#endif

} // namespace

PixelColours::PixelColours(const FractalDocument &document, qint64 totalPoints, ChainStepping stepping)
    : m_document(document)
    , m_totalPoints(totalPoints)
    , m_stepping(stepping)
{
    const ColourStyleEntry *style = colourStyleEntry(document.colours.colourStyle);
    if (style && style->rule != ColourRule::BlendByIteration)
        return;
    // That rule draws no random number and reads no point number; with no
    // rule every point is black.
    m_byIteration.resize(std::size_t(document.settings.resolution));
    for (qint16 cir = 0; cir < document.settings.resolution; ++cir)
        m_byIteration[std::size_t(cir)] = rgbOf(colourOfDrawn(document, totalPoints, 0.0f, 0, cir));
}

void PixelColours::pixels(qint64 first, const float *drawn, qint32 count, QRgb *pixels) const
{
    const qint64 resolution = m_document.settings.resolution;
    if (!m_byIteration.empty()) {
        qint64 cir = first % resolution;
        for (qint32 i = 0; i < count;) {
            const qint32 length = qint32(std::min<qint64>(count - i, resolution - cir));
            std::copy_n(m_byIteration.begin() + cir, length, pixels + i);
            i += length;
            cir = 0;
        }
        return;
    }
    const ColourScheme &colours = m_document.colours;
    const Colouring colouring{colourStyleEntry(colours.colourStyle)->rule, colours.colour1, colours.colour2,
                              m_totalPoints};
    qint32 i = lanesOrScalar(m_stepping, pixelsInLanes, pixelsInNoLanes)(colouring, first, drawn, count, pixels);
    for (; i < count; ++i)
        pixels[i] =
            rgbOf(colourOfDrawn(m_document, m_totalPoints, drawn[i], first + i, qint16((first + i) % resolution)));
}

} // namespace Vorlane::exact
