#pragma once

// Opens netCDF-C (see on_demand_library.h) before the SOFA reader's first call into it; a
// LoadError when it cannot be opened.
void RequireNetcdf();
