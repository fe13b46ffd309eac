#include "circuit.h"

#include "figures.h"

#include <cmath>

// The supply of a chain of boards and its busbars down the chain: the network
// and transformers at the top, each feeder's cable added below.

namespace circuits {

using namespace detail;

namespace {

bool allFinite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!finite(v))
            return false;
    return true;
}

} // namespace

Result<SupplyFigures> supplyOrigin(const Supply& supply)
{
    if (!finite(supply.networkMva) || supply.networkMva <= 0)
        return Result<SupplyFigures>::fail("系统短路容量 S″kQ 须为大于 0 的有限数");
    if (!finite(supply.transformerKva) || supply.transformerKva <= 0)
        return Result<SupplyFigures>::fail("变压器容量 SrT 须为大于 0 的有限数");
    if (!finite(supply.ukPercent) || supply.ukPercent <= 0 || supply.ukPercent >= 100)
        return Result<SupplyFigures>::fail("阻抗电压 uk% 须大于 0 且小于 100");
    if (supply.loadLossKw && (!finite(*supply.loadLossKw) || *supply.loadLossKw < 0))
        return Result<SupplyFigures>::fail("负载损耗 Pk 须为不小于 0 的有限数");
    if (supply.transformers < 1)
        return Result<SupplyFigures>::fail("变压器台数须不少于 1");

    SupplyFigures f;
    f.given = supply;
    const double un2 = f.un * f.un;
    // kV² / MVA is Ω.
    f.zq = f.c * un2 / supply.networkMva;
    f.xq = networkReactanceShare * f.zq;
    f.rq = networkResistanceRatio * f.xq;
    // With SrT in kVA: kV² / kVA = 10³ Ω, so ZT = uk/100 × Un² / SrT × 10³ Ω; and RT = Pk × Un² / SrT² with Pk in
    // kW, kW × kV² / kVA² = 10³ Ω, so RT = Pk × Un² / SrT² × 10³ Ω (Pk 7.5 kW, 630 kVA: 3.02 mΩ).
    f.zt = supply.ukPercent / 100 * un2 / supply.transformerKva * 1000;
    f.rtNeglected = !supply.loadLossKw;
    if (f.rtNeglected)
        f.note = "未给负载损耗 Pk，忽略变压器电阻 RT";
    f.rt = f.rtNeglected ? 0 : *supply.loadLossKw * un2 / (supply.transformerKva * supply.transformerKva) * 1000;
    if (!allFinite({f.zq, f.xq, f.rq, f.zt, f.rt}))
        return Result<SupplyFigures>::fail(tooLarge);
    if (f.rt >= f.zt)
        return Result<SupplyFigures>::fail("变压器电阻 RT " + figure(f.rt * 1000, 2) + " mΩ 不小于阻抗 ZT " +
                                           figure(f.zt * 1000, 2) + " mΩ：负载损耗 Pk 与阻抗电压 uk% 不相容");
    f.xt = std::sqrt(f.zt * f.zt - f.rt * f.rt);
    f.transformers = supply.transformers;
    f.transformer = {f.rt / f.transformers, f.xt / f.transformers};

    const std::string transformerName =
        f.transformers > 1 ? "变压器 " + std::to_string(f.transformers) + " 台并列" : std::string("变压器");
    f.origin.parts = {{"系统", {f.rq, f.xq}, {}}, {transformerName, f.transformer, f.transformer}};
    f.origin.shortCircuit = Impedance{f.rq, f.xq} + f.transformer;
    f.origin.loop = f.transformer;
    f.origin.ik3 = threePhaseCurrent(f.origin.shortCircuit);
    f.origin.drop = 0;
    if (!finite(f.origin.ik3) || !finite(f.origin.shortCircuit) || !(f.origin.loop.magnitude() > 0))
        return Result<SupplyFigures>::fail(tooLarge);
    return f;
}

Result<Origin> subBoardOrigin(const Origin& parent, const CircuitFigures& feeder)
{
    if (const auto problem = originProblem(parent))
        return Result<Origin>::fail(*problem);
    if (!feeder.length || !feeder.drop || !feeder.farEnd || !feeder.earthFault)
        return Result<Origin>::fail("馈线未给长度，无法推算下级配电箱的始端");
    Origin o = parent;
    o.parts.push_back({feeder.cable.designation + "，" + figure(*feeder.length, 1) + " m", feeder.farEnd->cable,
                       feeder.earthFault->cable});
    o.shortCircuit = parent.shortCircuit + feeder.farEnd->cable;
    o.loop = parent.loop + feeder.earthFault->cable;
    o.ik3 = threePhaseCurrent(o.shortCircuit);
    o.drop = parent.drop + feeder.drop->own;
    if (!finite(o.shortCircuit) || !finite(o.loop) || !finite(o.ik3) || !finite(o.drop))
        return Result<Origin>::fail(tooLarge);
    return o;
}

} // namespace circuits
