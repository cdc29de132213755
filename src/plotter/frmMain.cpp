#include "plotter/frmMain.h"
#include "forms/FormInstance.h"
namespace plotter {
frmMain& frmMain::instance() { static forms::FormInstance<frmMain> i; return i.get(); }
void frmMain::Show() { show(); }
}
