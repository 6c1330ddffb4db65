#include "render/lesson/fractaldimension.h"

#include "document/fractaldocument.h"

#include <QCoreApplication>

#include <cmath>
#include <functional>
#include <limits>

namespace Vorlane {

namespace {

// Compositions listed for the affinity estimate: enough for two decimals on
// the gallery, few enough to answer at once.
constexpr qint64 mostWords = 20000;
constexpr int longestWord = 12;

LinearPart multiplied(const LinearPart &a, const LinearPart &b)
{
    return {a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3], a[2] * b[0] + a[3] * b[2],
            a[2] * b[1] + a[3] * b[3]};
}

double singularValueFunction(const std::array<double, 2> &values, double s)
{
    if (s <= 1.0)
        return std::pow(values[0], s);
    if (s <= 2.0)
        return values[0] * std::pow(values[1], s - 1.0);
    return std::pow(values[0] * values[1], s / 2.0);
}

// Every composition of wordLength maps, by its singular values; the zero
// map's compositions add nothing to any sum and are left out.
QList<std::array<double, 2>> compositionValues(const QList<LinearPart> &maps, int wordLength)
{
    QList<std::array<double, 2>> values;
    const std::function<void(const LinearPart &, int)> extend = [&](const LinearPart &product, int length) {
        if (length == wordLength) {
            const std::array<double, 2> sigma = singularValues(product);
            if (sigma[0] > 0.0)
                values.append(sigma);
            return;
        }
        for (const LinearPart &map : maps)
            extend(multiplied(product, map), length + 1);
    };
    extend({1.0, 0.0, 0.0, 1.0}, 0);
    return values;
}

// The s where a sum of non-increasing functions of s falls to 1, given that
// it is at least 1 at s = 0 and tends to 0.
double whereSumIsOne(const std::function<double(double)> &sum)
{
    double low = 0.0;
    double high = 2.0;
    while (sum(high) > 1.0)
        high *= 2.0;
    for (int step = 0; step < 200 && high - low > 1e-12; ++step) {
        const double middle = (low + high) / 2.0;
        (sum(middle) > 1.0 ? low : high) = middle;
    }
    return (low + high) / 2.0;
}

LinearPart linearPart(const Transformation &tr)
{
    // The renderer's own angle, pi / 180 as a float.
    const double theta = double(float(4.0 * std::atan(1.0) / 180.0)) * double(tr.rotation);
    const double cx = tr.contraction[0];
    const double cy = tr.contraction[1];
    return {cx * std::cos(theta), -cy * std::sin(theta), cx * std::sin(theta), cy * std::cos(theta)};
}

int wordLengthFor(qsizetype mapCount)
{
    int length = 1;
    for (qint64 words = mapCount * mapCount; length < longestWord && words <= mostWords; words *= mapCount)
        ++length;
    return length;
}

QString lessonText(const char *text)
{
    return QCoreApplication::translate("FractalDimension", text);
}

MapsDimension similarityOf(const FractalDocument &document)
{
    QList<double> ratios;
    for (const Transformation &map : document.transformations)
        ratios.append(std::fabs(double(map.contraction[0])));
    MapsDimension result{MapsDimension::Similarity, similarityDimension(ratios), 0,
                         lessonText("Every map is a similarity (its contractions X and Y are equal in size), so this is "
                            "the similarity dimension: the D with r1^D + r2^D + ... = 1, r being the maps' "
                            "contractions. It is the fractal's dimension when the copies do not overlap; "
                            "overlapping copies make the fractal thinner than D says.")};
    if (result.value > 2.0)
        result.explanation += lessonText(" Here D passes 2, so the copies overlap: a figure in the plane has at most "
                                 "dimension 2.");
    return result;
}

MapsDimension affinityOf(const QList<LinearPart> &maps)
{
    const int length = wordLengthFor(maps.size());
    return {MapsDimension::Affinity, affinityDimensionBound(maps, length), length,
            lessonText("Some maps squash more along one axis than along the other, so a map has no single ratio "
               "and the similarity formula does not apply. This is an estimate of the affinity dimension, "
               "which weighs every composition of maps by how far it stretches in its longest and "
               "shortest directions (its singular values); the estimate, from all compositions of %1 "
               "maps, lies a little above the true value and falls towards it with longer compositions. "
               "For most placings of the copies it is the fractal's dimension; copies lined up in a "
               "grid can make the fractal thinner.")
                .arg(length)};
}

} // namespace

std::array<double, 2> singularValues(const LinearPart &m)
{
    const double p = std::hypot(m[0] + m[3], m[2] - m[1]);
    const double q = std::hypot(m[0] - m[3], m[2] + m[1]);
    return {(p + q) / 2.0, std::fabs(p - q) / 2.0};
}

double similarityDimension(const QList<double> &ratios)
{
    QList<double> shrinking;
    for (double ratio : ratios) {
        if (ratio > 0.0)
            shrinking.append(ratio);
    }
    if (shrinking.size() < 2)
        return 0.0;
    // sum(r^D) - 1 is convex and falls, so Newton's steps from D = 0 climb
    // to the root without passing it.
    double dimension = 0.0;
    for (int step = 0; step < 100; ++step) {
        double value = -1.0;
        double slope = 0.0;
        for (double ratio : shrinking) {
            const double power = std::pow(ratio, dimension);
            value += power;
            slope += power * std::log(ratio);
        }
        const double next = dimension - value / slope;
        if (!(next > dimension + 1e-15))
            break;
        dimension = next;
    }
    return dimension;
}

double affinityDimensionBound(const QList<LinearPart> &maps, int wordLength)
{
    const QList<std::array<double, 2>> values = compositionValues(maps, wordLength);
    if (values.size() < 2)
        return 0.0;
    return whereSumIsOne([&values](double s) {
        double sum = 0.0;
        for (const std::array<double, 2> &sigma : values)
            sum += singularValueFunction(sigma, s);
        return sum;
    });
}

QList<double> weightPercents(const FractalDocument &document)
{
    double total = 0.0;
    for (const Transformation &map : document.transformations)
        total += transformationWeight(map);
    QList<double> percents;
    for (const Transformation &map : document.transformations)
        percents.append(total > 0.0 ? 100.0 * transformationWeight(map) / total : 0.0);
    return percents;
}

MapsDimension mapsDimension(const FractalDocument &document)
{
    if (document.transformations.isEmpty())
        return {MapsDimension::None, 0.0, 0, lessonText("There are no maps, so there is no fractal: the picture is the base field.")};
    QList<LinearPart> maps;
    bool similarities = true;
    for (const Transformation &map : document.transformations) {
        maps.append(linearPart(map));
        if (singularValues(maps.constLast())[0] >= 1.0)
            return {MapsDimension::None, 0.0, 0,
                    lessonText("The map \"%1\" does not shrink everything (it stretches by %2 in one direction), so the "
                       "maps have no fractal of their own and no dimension can be given.")
                        .arg(map.name.trimmed())
                        .arg(singularValues(maps.constLast())[0], 0, 'g', 4)};
        similarities = similarities && std::fabs(map.contraction[0]) == std::fabs(map.contraction[1]);
    }
    return similarities ? similarityOf(document) : affinityOf(maps);
}

} // namespace Vorlane
