// SPDX-License-Identifier: GPL-3.0-or-later
#include "random_variable.h"

#include "austausch.h"

#include <algorithm>
#include <numeric>

namespace RandomVariable {

namespace {

// The sixes name the events; the chosen face is only for the count.
constexpr int Six = 6;

// How many of each face a throw showed: faces[f] for f = 1 … 6.
using FaceCounts = std::array<int, 7>;

// The index into values() of the throw with these faces (not for the sum's variables).
std::size_t indexOf(Groesse groesse, const FaceCounts &faces, int dice, int face)
{
    int largest = 6;
    while (faces[static_cast<std::size_t>(largest)] == 0)
        --largest;
    int smallest = 1;
    while (faces[static_cast<std::size_t>(smallest)] == 0)
        ++smallest;
    const int sixes = faces[Six];
    switch (groesse) {
    case Groesse::AnzahlAugenzahl:
        return static_cast<std::size_t>(faces[static_cast<std::size_t>(face)]);
    case Groesse::GroessteAugenzahl:
        return static_cast<std::size_t>(largest - 1);
    case Groesse::KleinsteAugenzahl:
        return static_cast<std::size_t>(smallest - 1);
    case Groesse::Differenz:
        return static_cast<std::size_t>(largest - smallest);
    case Groesse::Pasch:
        return faces[static_cast<std::size_t>(largest)] == dice ? 0 : 1;
    case Groesse::MindestensEineSechs:
        return sixes > 0 ? 0 : 1;
    case Groesse::KeineSechs:
        return sixes == 0 ? 0 : 1;
    case Groesse::Augensumme:
    case Groesse::AugensummeGerade:
        break;
    }
    Q_UNREACHABLE();
    return 0;
}

// Every way of sharing `left` dice among faces `face` … 6, each with the number of ordered
// outcomes that give it (n! / Π c_f!) and their weight Π w_f^c_f.
template <class Visit>
void eachThrow(FaceCounts &faces, int face, int left, Int128 orderings, Int128 weight,
               const std::array<int, 6> &weights, Visit &visit)
{
    if (face == 6) {
        faces[6] = left;
        Int128 w = weight;
        for (int i = 0; i < left; ++i)
            w *= weights[5];
        // The orderings arrive as n! / Π of the earlier c_f!; the last one divides here.
        Int128 last = 1;
        for (int i = 2; i <= left; ++i)
            last *= i;
        visit(faces, orderings / last * w);
        return;
    }
    Int128 w = weight;
    Int128 divisor = 1;
    for (int c = 0; c <= left; ++c) {
        if (c > 0) {
            w *= weights[static_cast<std::size_t>(face - 1)];
            divisor *= c;
        }
        faces[static_cast<std::size_t>(face)] = c;
        eachThrow(faces, face + 1, left - c, orderings / divisor, w, weights, visit);
    }
}

Int128 factorial(int n)
{
    Int128 f = 1;
    for (int i = 2; i <= n; ++i)
        f *= i;
    return f;
}

} // namespace

QList<Groesse> offered(int dice)
{
    QList<Groesse> list{Groesse::Augensumme, Groesse::AnzahlAugenzahl, Groesse::GroessteAugenzahl,
                        Groesse::KleinsteAugenzahl};
    if (dice > 1)
        list << Groesse::Pasch;
    list << Groesse::MindestensEineSechs << Groesse::KeineSechs;
    if (dice == 2)
        list << Groesse::AugensummeGerade << Groesse::Differenz;
    return list;
}

bool isEvent(Groesse groesse)
{
    switch (groesse) {
    case Groesse::Pasch:
    case Groesse::MindestensEineSechs:
    case Groesse::KeineSechs:
    case Groesse::AugensummeGerade:
        return true;
    default:
        return false;
    }
}

QString faceName(int face)
{
    static const char16_t *const names[] = {u"Eins", u"Zwei", u"Drei", u"Vier", u"Fünf", u"Sechs"};
    return QString::fromUtf16(names[face - 1]);
}

QString facePlural(int face)
{
    static const char16_t *const names[] = {u"Einsen", u"Zweien", u"Dreien",
                                            u"Vieren", u"Fünfen", u"Sechsen"};
    return QString::fromUtf16(names[face - 1]);
}

QString name(Groesse groesse, int face)
{
    switch (groesse) {
    case Groesse::Augensumme:
        return QStringLiteral("Augensumme");
    case Groesse::AnzahlAugenzahl:
        return QStringLiteral("Anzahl der ") + facePlural(face);
    case Groesse::GroessteAugenzahl:
        return QStringLiteral("größte Augenzahl");
    case Groesse::KleinsteAugenzahl:
        return QStringLiteral("kleinste Augenzahl");
    case Groesse::Pasch:
        return QStringLiteral("Pasch");
    case Groesse::MindestensEineSechs:
        return QStringLiteral("mindestens eine Sechs");
    case Groesse::KeineSechs:
        return QStringLiteral("keine Sechs");
    case Groesse::AugensummeGerade:
        return QStringLiteral("Augensumme gerade");
    case Groesse::Differenz:
        return QStringLiteral("Differenz");
    }
    return {};
}

std::vector<int> values(Groesse groesse, int dice)
{
    const auto range = [](int first, int last) {
        std::vector<int> v(static_cast<std::size_t>(last - first + 1));
        std::iota(v.begin(), v.end(), first);
        return v;
    };
    switch (groesse) {
    case Groesse::Augensumme:
        return range(dice, 6 * dice);
    case Groesse::AnzahlAugenzahl:
        return range(0, dice);
    case Groesse::GroessteAugenzahl:
    case Groesse::KleinsteAugenzahl:
        return range(1, 6);
    case Groesse::Differenz:
        return range(0, 5);
    default:
        return {1, 0};
    }
}

QString valueText(Groesse groesse, int value)
{
    if (isEvent(groesse))
        return value == 1 ? QStringLiteral("tritt ein") : QStringLiteral("tritt nicht ein");
    return NumberFormat::integer(value);
}

Chances chances(Groesse groesse, int dice, int face, const DiceWeights &weights)
{
    Q_ASSERT(dice >= 1 && dice <= 7 && face >= 1 && face <= 6);
    Chances result;
    result.ways.assign(values(groesse, dice).size(), 0);
    if (groesse == Groesse::Augensumme || groesse == Groesse::AugensummeGerade) {
        const SumChances sums = sumChances(weights, dice);
        result.outcomes = sums.outcomes;
        for (int s = dice; s <= 6 * dice; ++s) {
            const Int128 ways = sums.ways[static_cast<std::size_t>(s)];
            if (groesse == Groesse::Augensumme)
                result.ways[static_cast<std::size_t>(s - dice)] = ways;
            else
                result.ways[s % 2 == 0 ? 0 : 1] += ways;
        }
        return result;
    }
    Int128 total = 0;
    for (int w : weights.weights())
        total += w;
    for (int i = 0; i < dice; ++i)
        result.outcomes *= total;
    FaceCounts faces{};
    auto visit = [&](const FaceCounts &throwFaces, Int128 ways) {
        result.ways[indexOf(groesse, throwFaces, dice, face)] += ways;
    };
    eachThrow(faces, 1, dice, factorial(dice), 1, weights.weights(), visit);
    return result;
}

QString reducedFraction(Int128 numerator, Int128 denominator)
{
    Int128 a = numerator < 0 ? -numerator : numerator;
    Int128 b = denominator;
    while (b != 0) {
        const Int128 r = a % b;
        a = b;
        b = r;
    }
    if (a == 0)
        a = 1;
    const auto text = [](Int128 v) {
        // Up to 600⁷ ≈ 2,8 · 10¹⁹: one digit more than 64 bits hold.
        QString digits;
        do {
            digits.prepend(QChar(u'0' + static_cast<int>(v % 10)));
            v /= 10;
        } while (v != 0);
        return digits;
    };
    if (numerator == 0)
        return QStringLiteral("0");
    if (denominator / a == 1)
        return text(numerator / a);
    return text(numerator / a) + u'/' + text(denominator / a);
}

void Tally::clear()
{
    m_throws = 0;
    std::fill(m_perThrow.begin(), m_perThrow.end(), 0);
    readOff();
}

void Tally::update(std::span<const quint32> faces, int dice)
{
    if (m_perThrow.empty())
        m_perThrow.assign(std::size_t(1) << 18, 0);
    if (dice != m_dice) {
        m_dice = dice;
        m_possible.clear();
        FaceCounts counts{};
        auto collect = [this](const FaceCounts &c, Int128) {
            quint32 entry = 0;
            for (int f = 1; f <= 6; ++f)
                entry += static_cast<quint32>(c[static_cast<std::size_t>(f)])
                    * Austausch::augeImWurf(f);
            m_possible.push_back(entry);
        };
        const std::array<int, 6> ones{1, 1, 1, 1, 1, 1};
        eachThrow(counts, 1, dice, factorial(dice), 1, ones, collect);
        clear();
    } else if (faces.size() < static_cast<std::size_t>(m_throws)) {
        clear();
    }
    // The loop a move pays for while the window is open: one count a throw.
    for (std::size_t t = static_cast<std::size_t>(m_throws); t < faces.size(); ++t)
        ++m_perThrow[faces[t] & 0x3ffffu];
    m_throws = static_cast<qint64>(faces.size());
    readOff();
}

void Tally::readOff()
{
    m_withFace = {};
    m_largest = {};
    m_smallest = {};
    m_spread = {};
    for (const quint32 entry : m_possible) {
        const qint64 n = m_perThrow[entry];
        if (n == 0)
            continue;
        int largest = 0;
        int smallest = 7;
        for (int f = 1; f <= 6; ++f) {
            const int c = Austausch::anzahlImWurf(entry, f);
            m_withFace[static_cast<std::size_t>(f - 1)][static_cast<std::size_t>(c)] += n;
            if (c > 0) {
                largest = f;
                smallest = std::min(smallest, f);
            }
        }
        m_largest[static_cast<std::size_t>(largest)] += n;
        m_smallest[static_cast<std::size_t>(smallest)] += n;
        m_spread[static_cast<std::size_t>(largest - smallest)] += n;
    }
}

qint64 Tally::facesShown(int face) const
{
    qint64 total = 0;
    for (int count = 1; count <= 7; ++count)
        total += count * withFace(face, count);
    return total;
}

std::vector<qint64> counts(Groesse groesse, int face, const Tally &tally,
                           std::span<const qint64> sumCounts)
{
    const int dice = tally.dice();
    const qint64 throws = tally.throws();
    std::vector<qint64> result;
    switch (groesse) {
    case Groesse::Augensumme:
        return {sumCounts.begin(), sumCounts.end()};
    case Groesse::AugensummeGerade: {
        qint64 even = 0;
        qint64 odd = 0;
        for (std::size_t i = 0; i < sumCounts.size(); ++i)
            ((dice + static_cast<int>(i)) % 2 == 0 ? even : odd) += sumCounts[i];
        return {even, odd};
    }
    case Groesse::AnzahlAugenzahl:
        for (int count = 0; count <= dice; ++count)
            result.push_back(tally.withFace(face, count));
        return result;
    case Groesse::GroessteAugenzahl:
    case Groesse::KleinsteAugenzahl:
        for (int f = 1; f <= 6; ++f)
            result.push_back(groesse == Groesse::GroessteAugenzahl ? tally.largest(f)
                                                                   : tally.smallest(f));
        return result;
    case Groesse::Differenz:
        for (int d = 0; d <= 5; ++d)
            result.push_back(tally.spread(d));
        return result;
    case Groesse::Pasch:
        return {tally.spread(0), throws - tally.spread(0)};
    case Groesse::MindestensEineSechs:
        return {throws - tally.withFace(Six, 0), tally.withFace(Six, 0)};
    case Groesse::KeineSechs:
        return {tally.withFace(Six, 0), throws - tally.withFace(Six, 0)};
    }
    return result;
}

} // namespace RandomVariable
