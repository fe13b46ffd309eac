#include "tables.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace circuits {

namespace {

// θ: GB/T 16895.6-2014 table 52.1 (PVC 70 °C, XLPE 90 °C). k: GB/T 16895.5-2012 (IEC 60364-4-43:2008) table 43A
// (copper PVC 115, copper XLPE 143, aluminium XLPE 94). Usual method: BV in conduit, the sheathed cables on trays.
const CableInfo cableTable[] = {
    {CableKind::BV, "BV", Conductor::Copper, Insulation::PVC, 70, Method::B1, 115},
    {CableKind::VV, "VV", Conductor::Copper, Insulation::PVC, 70, Method::E, 115},
    {CableKind::YJV, "YJV", Conductor::Copper, Insulation::XLPE, 90, Method::E, 143},
    {CableKind::YJLV, "YJLV", Conductor::Aluminium, Insulation::XLPE, 90, Method::E, 94},
};

// GB/T 16895.6-2014 (IEC 60364-5-52:2009) table B.52.1, the reference methods offered.
const MethodInfo methodTable[] = {
    {Method::A1, "A1", "穿管暗敷在隔热墙内"},
    {Method::B1, "B1", "穿管明敷或暗敷在墙面"},
    {Method::C, "C", "直接敷设在墙面"},
    {Method::E, "E", "多芯电缆在桥架或空气中"},
};

struct SectionName {
    double section;
    const char* text;
};
const SectionName sectionNames[] = {{1.5, "1.5"}, {2.5, "2.5"}, {4, "4"},     {6, "6"},     {10, "10"},
                                    {16, "16"},   {25, "25"},   {35, "35"},   {50, "50"},   {70, "70"},
                                    {95, "95"},   {120, "120"}, {150, "150"}, {185, "185"}, {240, "240"}};

// Iz0 in A at 30 °C ambient air, one circuit. Methods A1, B1, C.
struct ConduitRow {
    double section;
    double a1, b1, c;
};

// GB/T 16895.6-2014 (IEC 60364-5-52:2009) table B.52.2: PVC, two loaded conductors, 70 °C.
const ConduitRow b522Copper[] = {
    {1.5, 14.5, 17.5, 19.5}, {2.5, 19.5, 24, 27},  {4, 26, 32, 36},      {6, 34, 41, 46},      {10, 46, 57, 63},
    {16, 61, 76, 85},        {25, 80, 101, 112},   {35, 99, 125, 138},   {50, 119, 151, 168},  {70, 151, 192, 213},
    {95, 182, 232, 258},     {120, 210, 269, 299}, {150, 240, 300, 344}, {185, 273, 341, 392}, {240, 321, 400, 461},
};
const ConduitRow b522Aluminium[] = {
    {16, 48, 60, 66},    {25, 63, 79, 83},     {35, 77, 97, 103},    {50, 93, 118, 125},   {70, 118, 150, 160},
    {95, 142, 181, 195}, {120, 164, 210, 226}, {150, 189, 234, 261}, {185, 215, 266, 298}, {240, 252, 312, 352},
};

// Table B.52.3: XLPE, two loaded conductors, 90 °C.
const ConduitRow b523Copper[] = {
    {1.5, 19, 23, 24},   {2.5, 26, 31, 33},    {4, 35, 42, 45},      {6, 45, 54, 58},      {10, 61, 75, 80},
    {16, 81, 100, 107},  {25, 106, 133, 138},  {35, 131, 164, 171},  {50, 158, 198, 209},  {70, 200, 253, 269},
    {95, 241, 306, 328}, {120, 278, 354, 382}, {150, 318, 393, 441}, {185, 362, 449, 506}, {240, 424, 528, 599},
};
const ConduitRow b523Aluminium[] = {
    {16, 64, 79, 84},    {25, 84, 105, 101},   {35, 103, 130, 126},  {50, 125, 157, 154},  {70, 158, 200, 198},
    {95, 191, 242, 241}, {120, 220, 281, 280}, {150, 253, 307, 324}, {185, 288, 351, 371}, {240, 338, 412, 439},
};

// Table B.52.4: PVC, three loaded conductors, 70 °C.
const ConduitRow b524Copper[] = {
    {1.5, 13.5, 15.5, 17.5}, {2.5, 18, 21, 24},    {4, 24, 28, 32},      {6, 31, 36, 41},      {10, 42, 50, 57},
    {16, 56, 68, 76},        {25, 73, 89, 96},     {35, 89, 110, 119},   {50, 108, 134, 144},  {70, 136, 171, 184},
    {95, 164, 207, 223},     {120, 188, 239, 259}, {150, 216, 262, 299}, {185, 245, 296, 341}, {240, 286, 346, 403},
};
const ConduitRow b524Aluminium[] = {
    {16, 44, 53, 59},    {25, 58, 70, 73},     {35, 71, 86, 90},     {50, 86, 104, 110},   {70, 108, 133, 140},
    {95, 130, 161, 170}, {120, 150, 186, 197}, {150, 172, 204, 227}, {185, 195, 230, 259}, {240, 229, 269, 305},
};

// Table B.52.5: XLPE, three loaded conductors, 90 °C.
const ConduitRow b525Copper[] = {
    {1.5, 17, 20, 22},   {2.5, 23, 28, 30},    {4, 31, 37, 40},      {6, 40, 48, 52},      {10, 54, 66, 71},
    {16, 73, 88, 96},    {25, 95, 117, 119},   {35, 117, 144, 147},  {50, 141, 175, 179},  {70, 179, 222, 229},
    {95, 216, 269, 278}, {120, 249, 312, 322}, {150, 285, 342, 371}, {185, 324, 384, 424}, {240, 380, 450, 500},
};
const ConduitRow b525Aluminium[] = {
    {16, 58, 71, 73},    {25, 76, 93, 89},     {35, 94, 116, 111},   {50, 113, 140, 135},  {70, 142, 179, 173},
    {95, 171, 217, 210}, {120, 197, 251, 244}, {150, 226, 267, 282}, {185, 256, 300, 322}, {240, 300, 351, 380},
};

// Iz0 in A at 30 °C ambient air, one circuit. Method E, multi-core cable: two and three loaded conductors.
struct TrayRow {
    double section;
    double two, three;
};

// Table B.52.10: PVC, copper, 70 °C.
const TrayRow b5210[] = {
    {1.5, 22, 18.5}, {2.5, 30, 25},   {4, 40, 34},     {6, 51, 43},     {10, 70, 60},
    {16, 94, 80},    {25, 119, 101},  {35, 148, 126},  {50, 180, 153},  {70, 232, 196},
    {95, 282, 238},  {120, 328, 276}, {150, 379, 319}, {185, 434, 364}, {240, 514, 430},
};
// Table B.52.11: PVC, aluminium, 70 °C.
const TrayRow b5211[] = {
    {16, 73, 61},   {25, 89, 78},    {35, 111, 96},   {50, 135, 117},  {70, 173, 150},
    {95, 210, 183}, {120, 244, 212}, {150, 282, 245}, {185, 322, 280}, {240, 380, 330},
};
// Table B.52.12: XLPE, copper, 90 °C.
const TrayRow b5212[] = {
    {1.5, 26, 23},  {2.5, 36, 32},   {4, 49, 42},     {6, 63, 54},     {10, 86, 75},
    {16, 115, 100}, {25, 149, 127},  {35, 185, 158},  {50, 225, 192},  {70, 289, 246},
    {95, 352, 298}, {120, 410, 346}, {150, 473, 399}, {185, 542, 456}, {240, 641, 538},
};
// Table B.52.13: XLPE, aluminium, 90 °C.
const TrayRow b5213[] = {
    {16, 91, 77},   {25, 108, 97},   {35, 135, 120},  {50, 164, 146},  {70, 211, 187},
    {95, 257, 227}, {120, 300, 263}, {150, 346, 304}, {185, 397, 347}, {240, 470, 409},
};

// Table B.52.14: Kt of ambient air temperatures other than 30 °C; PVC has no row above 60 °C.
struct AmbientRow {
    double temperature;
    double pvc, xlpe; // 0: no row
};
const AmbientRow b5214[] = {
    {10, 1.22, 1.15}, {15, 1.17, 1.12}, {20, 1.12, 1.08}, {25, 1.06, 1.04}, {30, 1.00, 1.00},
    {35, 0.94, 0.96}, {40, 0.87, 0.91}, {45, 0.79, 0.87}, {50, 0.71, 0.82}, {55, 0.61, 0.76},
    {60, 0.50, 0.71}, {65, 0, 0.65},    {70, 0, 0.58},    {75, 0, 0.50},    {80, 0, 0.41},
};

// Table B.52.17: Kg of groups of more than one circuit or multi-core cable, by number of circuits. Items 2 and 4
// have no further reduction beyond nine circuits.
const int groupingColumns[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 16, 20};
// Item 1: bunched in air, on a surface, embedded or enclosed.
const double b5217Bunched[] = {1.00, 0.80, 0.70, 0.65, 0.60, 0.57, 0.54, 0.52, 0.50, 0.45, 0.41, 0.38};
// Item 2: single layer on wall, floor or unperforated tray.
const double b5217Wall[] = {1.00, 0.85, 0.79, 0.75, 0.73, 0.72, 0.72, 0.71, 0.70};
// Item 4: single layer on a perforated horizontal or vertical tray.
const double b5217Tray[] = {1.00, 0.88, 0.82, 0.77, 0.75, 0.73, 0.73, 0.72, 0.72};

// GB/T 3956-2008 (IEC 60228:2004) table 2: class 2 conductors, maximum resistance at 20 °C, Ω/km.
struct ResistanceRow {
    double section;
    double copper, aluminium; // plain copper wires; 0: no aluminium row offered
};
const ResistanceRow table2[] = {
    {1.5, 12.1, 0},     {2.5, 7.41, 0},      {4, 4.61, 0},        {6, 3.08, 0},         {10, 1.83, 0},
    {16, 1.15, 1.91},   {25, 0.727, 1.20},   {35, 0.524, 0.868},  {50, 0.387, 0.641},   {70, 0.268, 0.443},
    {95, 0.193, 0.320}, {120, 0.153, 0.253}, {150, 0.124, 0.206}, {185, 0.0991, 0.164}, {240, 0.0754, 0.125},
};
// α at 20 °C of annealed copper and aluminium (GB/T 3956-2008 annex B).
constexpr double copperAlpha = 0.00393;
constexpr double aluminiumAlpha = 0.00403;

// Whether `code`, trimmed, is `name` whatever the case of its ASCII letters.
bool sameCode(std::string_view code, std::string_view name)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!code.empty() && space(code.front()))
        code.remove_prefix(1);
    while (!code.empty() && space(code.back()))
        code.remove_suffix(1);
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return code.size() == name.size() &&
           std::equal(code.begin(), code.end(), name.begin(), [&](char a, char b) { return lower(a) == lower(b); });
}

template <class Row, std::size_t N> const Row* rowOf(const Row (&rows)[N], double section)
{
    for (const Row& row : rows)
        if (row.section == section)
            return &row;
    return nullptr;
}

} // namespace

const std::vector<CableKind>& cableKinds()
{
    static const std::vector<CableKind> kinds = {CableKind::BV, CableKind::VV, CableKind::YJV, CableKind::YJLV};
    return kinds;
}

const std::vector<Method>& methods()
{
    static const std::vector<Method> all = {Method::A1, Method::B1, Method::C, Method::E};
    return all;
}

const CableInfo& cableInfo(CableKind kind)
{
    for (const CableInfo& info : cableTable)
        if (info.kind == kind)
            return info;
    return cableTable[0];
}

const MethodInfo& methodInfo(Method method)
{
    for (const MethodInfo& info : methodTable)
        if (info.method == method)
            return info;
    return methodTable[0];
}

std::optional<CableKind> cableByCode(std::string_view code)
{
    for (const CableInfo& info : cableTable)
        if (sameCode(code, info.code))
            return info.kind;
    return std::nullopt;
}

std::optional<Method> methodByCode(std::string_view code)
{
    for (const MethodInfo& info : methodTable)
        if (sameCode(code, info.code))
            return info.method;
    return std::nullopt;
}

const std::vector<double>& standardSections()
{
    static const std::vector<double> sections = [] {
        std::vector<double> s;
        for (const SectionName& n : sectionNames)
            s.push_back(n.section);
        return s;
    }();
    return sections;
}

double minimumSection(Conductor conductor) { return conductor == Conductor::Copper ? 2.5 : 16; }

std::optional<double> sectionAtLeast(double section)
{
    for (double s : standardSections())
        if (s >= section)
            return s;
    return std::nullopt;
}

const char* sectionText(double section)
{
    for (const SectionName& n : sectionNames)
        if (n.section == section)
            return n.text;
    return "?";
}

std::optional<BaseCapacity> baseCapacity(Insulation insulation, Conductor conductor, Method method, int loaded,
                                         double section)
{
    if (loaded != 2 && loaded != 3)
        return std::nullopt;
    const bool copper = conductor == Conductor::Copper;
    const bool pvc = insulation == Insulation::PVC;
    if (method == Method::E) {
        const TrayRow* row = pvc ? (copper ? rowOf(b5210, section) : rowOf(b5211, section))
                                 : (copper ? rowOf(b5212, section) : rowOf(b5213, section));
        if (!row)
            return std::nullopt;
        const char* table = pvc ? (copper ? "GB/T 16895.6-2014 表B.52.10" : "GB/T 16895.6-2014 表B.52.11")
                                : (copper ? "GB/T 16895.6-2014 表B.52.12" : "GB/T 16895.6-2014 表B.52.13");
        if (loaded == 2)
            return BaseCapacity{row->two, table, "敷设方式 E 多芯电缆，两根负载导体"};
        return BaseCapacity{row->three, table, "敷设方式 E 多芯电缆，三根负载导体"};
    }
    const ConduitRow* row = nullptr;
    const char* table = nullptr;
    if (loaded == 2 && pvc) {
        row = copper ? rowOf(b522Copper, section) : rowOf(b522Aluminium, section);
        table = "GB/T 16895.6-2014 表B.52.2";
    } else if (loaded == 2) {
        row = copper ? rowOf(b523Copper, section) : rowOf(b523Aluminium, section);
        table = "GB/T 16895.6-2014 表B.52.3";
    } else if (pvc) {
        row = copper ? rowOf(b524Copper, section) : rowOf(b524Aluminium, section);
        table = "GB/T 16895.6-2014 表B.52.4";
    } else {
        row = copper ? rowOf(b525Copper, section) : rowOf(b525Aluminium, section);
        table = "GB/T 16895.6-2014 表B.52.5";
    }
    if (!row)
        return std::nullopt;
    switch (method) {
    case Method::A1: return BaseCapacity{row->a1, table, "敷设方式 A1"};
    case Method::B1: return BaseCapacity{row->b1, table, "敷设方式 B1"};
    case Method::C: return BaseCapacity{row->c, table, "敷设方式 C"};
    case Method::E: break;
    }
    return std::nullopt;
}

std::optional<AmbientFactor> ambientFactor(Insulation insulation, double ambient)
{
    if (!(ambient >= lowestAmbient(insulation) && ambient <= highestAmbient(insulation)))
        return std::nullopt;
    for (const AmbientRow& row : b5214)
        if (row.temperature >= ambient)
            return AmbientFactor{insulation == Insulation::PVC ? row.pvc : row.xlpe, row.temperature,
                                 "GB/T 16895.6-2014 表B.52.14"};
    return std::nullopt;
}

double lowestAmbient(Insulation) { return b5214[0].temperature; }

double highestAmbient(Insulation insulation)
{
    double highest = b5214[0].temperature;
    for (const AmbientRow& row : b5214)
        if ((insulation == Insulation::PVC ? row.pvc : row.xlpe) > 0)
            highest = row.temperature;
    return highest;
}

GroupingFactor groupingFactor(Method method, int circuits)
{
    const double* factors = b5217Bunched;
    std::size_t count = std::size(b5217Bunched);
    int item = 1;
    if (method == Method::C) {
        factors = b5217Wall;
        count = std::size(b5217Wall);
        item = 2;
    } else if (method == Method::E) {
        factors = b5217Tray;
        count = std::size(b5217Tray);
        item = 4;
    }
    // A count between two columns takes the column above it: the smaller factor.
    std::size_t i = 0;
    while (i + 1 < count && groupingColumns[i] < circuits)
        ++i;
    return {factors[i], item, groupingColumns[i], "GB/T 16895.6-2014 表B.52.17"};
}

std::optional<double> resistance20(Conductor conductor, double section)
{
    const ResistanceRow* row = rowOf(table2, section);
    if (!row)
        return std::nullopt;
    const double r = conductor == Conductor::Copper ? row->copper : row->aluminium;
    if (r <= 0)
        return std::nullopt;
    return r;
}

double temperatureCoefficient(Conductor conductor)
{
    return conductor == Conductor::Copper ? copperAlpha : aluminiumAlpha;
}

const char* resistanceTable() { return "GB/T 3956-2008 表2"; }

double peSection(double phase)
{
    if (phase <= 16)
        return phase;
    if (phase <= 35)
        return 16;
    return sectionAtLeast(phase / 2).value_or(standardSections().back());
}

const char* peTable() { return "GB/T 16895.3-2017 表54.2"; }

std::vector<double> standardBreakerRatings()
{
    return {6,   10,  16,  20,  25,  32,  40,  50,  63,  80,  100, 125,  160,
            180, 200, 225, 250, 315, 350, 400, 500, 630, 700, 800, 1000, 1250};
}

} // namespace circuits
