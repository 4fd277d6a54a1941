// Declarations of every command handler named in the command table, by
// module.  The modules (m*.cc) define them.
#pragma once

#include "kor/ExecStatus.h"

namespace KOR { class Context; }

namespace OP {

using KOR::Context;

// The handler of commands not written yet: "Routine Under Construction...".
EXEC::Status pending(Context &cx);

// mArith.cc
EXEC::Status h_ADD(Context &cx);
EXEC::Status h_SUB(Context &cx);
EXEC::Status h_MUL(Context &cx);
EXEC::Status h_DIV(Context &cx);
EXEC::Status h_POW(Context &cx);
EXEC::Status h_Xrt(Context &cx);
EXEC::Status h_SWAPSUB(Context &cx);
EXEC::Status h_SWAPDIV(Context &cx);
EXEC::Status h_REALADD(Context &cx);
EXEC::Status h_REALSUB(Context &cx);
EXEC::Status h_REALMUL(Context &cx);
EXEC::Status h_REALDIV(Context &cx);
EXEC::Status h_REALNEG(Context &cx);
EXEC::Status h_REALINV(Context &cx);
EXEC::Status h_EQ(Context &cx);
EXEC::Status h_NE(Context &cx);
EXEC::Status h_LT(Context &cx);
EXEC::Status h_LE(Context &cx);
EXEC::Status h_GT(Context &cx);
EXEC::Status h_GE(Context &cx);
EXEC::Status h_Same(Context &cx);
EXEC::Status h_Neg(Context &cx);
EXEC::Status h_Inv(Context &cx);
EXEC::Status h_Sq(Context &cx);
EXEC::Status h_Abs(Context &cx);
EXEC::Status h_Sign(Context &cx);
EXEC::Status h_Conj(Context &cx);
EXEC::Status h_Sqrt(Context &cx);
EXEC::Status h_Cbrt(Context &cx);

// mControl.cc
EXEC::Status h_SYSNULL(Context &cx);
EXEC::Status h_SYSEXIT(Context &cx);
EXEC::Status h_marker(Context &cx);
EXEC::Status h_Then(Context &cx);
EXEC::Status h_Else(Context &cx);
EXEC::Status h_Catch(Context &cx);
EXEC::Status h_Try(Context &cx);
EXEC::Status h_End(Context &cx);
EXEC::Status h_ENDWHILE(Context &cx);
EXEC::Status h_While(Context &cx);
EXEC::Status h_Do(Context &cx);
EXEC::Status h_Start(Context &cx);
EXEC::Status h_REALSTART(Context &cx);
EXEC::Status h_Next(Context &cx);
EXEC::Status h_Step(Context &cx);
EXEC::Status h_Break(Context &cx);
EXEC::Status h_Continue(Context &cx);
EXEC::Status h_Abort(Context &cx);
EXEC::Status h_Return(Context &cx);
EXEC::Status h_Stop(Context &cx);
EXEC::Status h_Throw(Context &cx);
EXEC::Status h_Switch(Context &cx);
EXEC::Status h_Eval(Context &cx);
EXEC::Status h_OPEREXEC(Context &cx);
EXEC::Status h_CHECK1(Context &cx);
EXEC::Status h_CHECK2(Context &cx);
EXEC::Status h_CHECK3(Context &cx);
EXEC::Status h_CHECKNUM(Context &cx);
EXEC::Status h_SAVENUM(Context &cx);
EXEC::Status h_TIMESLICE(Context &cx);
EXEC::Status h_TRIMCACHE(Context &cx);
EXEC::Status h_FILLCACHE(Context &cx);
EXEC::Status h_DROPTOP(Context &cx);

// mConvert.cc
EXEC::Status h_Re(Context &cx);
EXEC::Status h_Im(Context &cx);
EXEC::Status h_Arg(Context &cx);
EXEC::Status h_TO_POLAR(Context &cx);
EXEC::Status h_TO_RECT(Context &cx);
EXEC::Status h_TO_DP(Context &cx);
EXEC::Status h_TO_XP(Context &cx);
EXEC::Status h_TO_REAL(Context &cx);
EXEC::Status h_TO_CX(Context &cx);
EXEC::Status h_TO_HMS(Context &cx);
EXEC::Status h_HMS_TO(Context &cx);
EXEC::Status h_HMS_ADD(Context &cx);
EXEC::Status h_HMS_SUB(Context &cx);

// mFunc.cc
EXEC::Status h_Exp(Context &cx);
EXEC::Status h_Alog(Context &cx);
EXEC::Status h_Ln(Context &cx);
EXEC::Status h_Log(Context &cx);
EXEC::Status h_Sin(Context &cx);
EXEC::Status h_Cos(Context &cx);
EXEC::Status h_Tan(Context &cx);
EXEC::Status h_Asin(Context &cx);
EXEC::Status h_Acos(Context &cx);
EXEC::Status h_Atan(Context &cx);
EXEC::Status h_Sinh(Context &cx);
EXEC::Status h_Cosh(Context &cx);
EXEC::Status h_Tanh(Context &cx);
EXEC::Status h_Asinh(Context &cx);
EXEC::Status h_Acosh(Context &cx);
EXEC::Status h_Atanh(Context &cx);
EXEC::Status h_Expm1(Context &cx);
EXEC::Status h_Ln1p(Context &cx);
EXEC::Status h_Sqrt1pm1(Context &cx);
EXEC::Status h_Sinc(Context &cx);
EXEC::Status h_Sincm1(Context &cx);
EXEC::Status h_Ceil(Context &cx);
EXEC::Status h_Floor(Context &cx);
EXEC::Status h_Rint(Context &cx);

// mLogic.cc
EXEC::Status h_Not(Context &cx);
EXEC::Status h_And(Context &cx);
EXEC::Status h_Or(Context &cx);
EXEC::Status h_Xor(Context &cx);
EXEC::Status h_SL(Context &cx);
EXEC::Status h_SR(Context &cx);
EXEC::Status h_ASR(Context &cx);
EXEC::Status h_SLB(Context &cx);
EXEC::Status h_SRB(Context &cx);
EXEC::Status h_RL(Context &cx);
EXEC::Status h_RR(Context &cx);
EXEC::Status h_RLB(Context &cx);
EXEC::Status h_RRB(Context &cx);
EXEC::Status h_StoWS(Context &cx);
EXEC::Status h_RclWS(Context &cx);
EXEC::Status h_MaxBint(Context &cx);
EXEC::Status h_TO_BINT(Context &cx);

// mMode.cc
EXEC::Status h_Std(Context &cx);
EXEC::Status h_StdN(Context &cx);
EXEC::Status h_Sci(Context &cx);
EXEC::Status h_Fix(Context &cx);
EXEC::Status h_Eng(Context &cx);
EXEC::Status h_Bin(Context &cx);
EXEC::Status h_Dec(Context &cx);
EXEC::Status h_Hex(Context &cx);
EXEC::Status h_Oct(Context &cx);
EXEC::Status h_Deg(Context &cx);
EXEC::Status h_Rad(Context &cx);
EXEC::Status h_Xprec(Context &cx);
EXEC::Status h_Dprec(Context &cx);
EXEC::Status h_Clock(Context &cx);
EXEC::Status h_ClockHz(Context &cx);
EXEC::Status h_Time(Context &cx);
EXEC::Status h_Version(Context &cx);
EXEC::Status h_True(Context &cx);
EXEC::Status h_False(Context &cx);
EXEC::Status h_Pi(Context &cx);
EXEC::Status h_E(Context &cx);
EXEC::Status h_Egamma(Context &cx);
EXEC::Status h_Catalan(Context &cx);
EXEC::Status h_Infinity(Context &cx);
EXEC::Status h_NaN(Context &cx);
EXEC::Status h_MaxR(Context &cx);
EXEC::Status h_MinR(Context &cx);
EXEC::Status h_I(Context &cx);

// mNuMath.cc
EXEC::Status h_Integ(Context &cx);
EXEC::Status h_KGauss(Context &cx);
EXEC::Status h_SqKGauss(Context &cx);

// mSpecFn.cc
EXEC::Status h_BessI0(Context &cx);
EXEC::Status h_BessI1(Context &cx);
EXEC::Status h_BessJ0(Context &cx);
EXEC::Status h_BessJ1(Context &cx);
EXEC::Status h_BessK0(Context &cx);
EXEC::Status h_BessK1(Context &cx);
EXEC::Status h_BessY0(Context &cx);
EXEC::Status h_BessY1(Context &cx);
EXEC::Status h_CellE(Context &cx);
EXEC::Status h_CellK(Context &cx);
EXEC::Status h_CosICi(Context &cx);
EXEC::Status h_SinISi(Context &cx);
EXEC::Status h_CoshIChi(Context &cx);
EXEC::Status h_SinhIShi(Context &cx);
EXEC::Status h_DawsF(Context &cx);
EXEC::Status h_DiGamma(Context &cx);
EXEC::Status h_TriGamma(Context &cx);
EXEC::Status h_DiLog(Context &cx);
EXEC::Status h_Erf(Context &cx);
EXEC::Status h_Erfc(Context &cx);
EXEC::Status h_LnErfc(Context &cx);
EXEC::Status h_ExpIE1(Context &cx);
EXEC::Status h_ExpIEi(Context &cx);
EXEC::Status h_FresnC(Context &cx);
EXEC::Status h_FresnS(Context &cx);
EXEC::Status h_Gamma(Context &cx);
EXEC::Status h_LnGamma(Context &cx);
EXEC::Status h_Fact(Context &cx);
EXEC::Status h_LogIli(Context &cx);
EXEC::Status h_Zeta(Context &cx);
EXEC::Status h_BessIn(Context &cx);
EXEC::Status h_BessJn(Context &cx);
EXEC::Status h_BessKn(Context &cx);
EXEC::Status h_BessYn(Context &cx);
EXEC::Status h_ExpIEn(Context &cx);
EXEC::Status h_Beta(Context &cx);
EXEC::Status h_IGamma(Context &cx);
EXEC::Status h_CellPi(Context &cx);
EXEC::Status h_EllE(Context &cx);
EXEC::Status h_EllF(Context &cx);
EXEC::Status h_JellCn(Context &cx);
EXEC::Status h_JellDn(Context &cx);
EXEC::Status h_JellSn(Context &cx);
EXEC::Status h_EllPi(Context &cx);
EXEC::Status h_IBeta(Context &cx);

// mStack.cc
EXEC::Status h_Drop(Context &cx);
EXEC::Status h_Drop2(Context &cx);
EXEC::Status h_Dup(Context &cx);
EXEC::Status h_Dup2(Context &cx);
EXEC::Status h_Swap(Context &cx);
EXEC::Status h_Over(Context &cx);
EXEC::Status h_Rot(Context &cx);
EXEC::Status h_Rotd(Context &cx);
EXEC::Status h_DropN(Context &cx);
EXEC::Status h_DupN(Context &cx);
EXEC::Status h_Pick(Context &cx);
EXEC::Status h_Roll(Context &cx);
EXEC::Status h_Rolld(Context &cx);
EXEC::Status h_Depth(Context &cx);
EXEC::Status h_Clear(Context &cx);
EXEC::Status h_LastArg(Context &cx);
EXEC::Status h_SaveArg(Context &cx);
EXEC::Status h_CheckArg(Context &cx);

} // namespace OP
