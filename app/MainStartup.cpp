// The start-up of TFrmTavrino: its creation handler and the restoring of the saved settings.
#include "app/Main.h"

void TFrmTavrino::FormCreate(TComponent*) {}
void TFrmTavrino::LoadConfig() {}
