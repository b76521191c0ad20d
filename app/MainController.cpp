// The tweak controller of TFrmTavrino: Run and Stop, the adapter restart and the status.
#include "app/Main.h"

void TFrmTavrino::BtnStartClick(TComponent*) {}
void TFrmTavrino::Start() {}
void TFrmTavrino::Stop() {}
void TFrmTavrino::Refresh(TStatus) {}
void TFrmTavrino::SetStatus(TStatus, const std::u16string&) {}
void TFrmTavrino::SaveConfigBool(const std::u16string&, bool) {}
void TFrmTavrino::SaveConfigInt(const std::u16string&, std::int32_t) {}
void TFrmTavrino::ChkTCPAckFrequencyClick(TComponent*) {}
void TFrmTavrino::ChkTcpDelAckTickClick(TComponent*) {}
void TFrmTavrino::ChkTcpNoDelayClick(TComponent*) {}
void TFrmTavrino::ChkNetworkThrottlingIndexClick(TComponent*) {}
void TFrmTavrino::ChkSystemResponsivenessClick(TComponent*) {}
