#include "fontes/controler/Controller.h"

TController::TController(TComponent* AOwner) : TFactoryForms(AOwner) {}
