#pragma once
#include "forms/DrawingSurface.h"
namespace plotter {
class frmMain : public forms::DrawingSurface {
    Q_OBJECT
public:
    static frmMain& instance();
    void Show();
};
}
