// The netCDF-C functions the SOFA reader calls, each forwarding to the library opened on demand.
#include <netcdf.h>

#include "netcdf_on_demand.h"
#include "on_demand_library.h"

namespace {
OnDemandLibrary netcdf(VEXAL_NETCDF_SONAME);
}  // namespace

void RequireNetcdf() {
  netcdf.Require();
}

#define VEXAL_NETCDF(name) OnDemandFunction<&name>(netcdf, #name)

extern "C" {

const char* nc_strerror(int status) {
  return VEXAL_NETCDF(nc_strerror)(status);
}
int nc_open(const char* path, int mode, int* id) {
  return VEXAL_NETCDF(nc_open)(path, mode, id);
}
int nc_close(int id) {
  return VEXAL_NETCDF(nc_close)(id);
}
int nc_inq_att(int id, int var, const char* name, nc_type* type, size_t* length) {
  return VEXAL_NETCDF(nc_inq_att)(id, var, name, type, length);
}
int nc_get_att_text(int id, int var, const char* name, char* text) {
  return VEXAL_NETCDF(nc_get_att_text)(id, var, name, text);
}
int nc_get_att_string(int id, int var, const char* name, char** strings) {
  return VEXAL_NETCDF(nc_get_att_string)(id, var, name, strings);
}
int nc_free_string(size_t count, char** strings) {
  return VEXAL_NETCDF(nc_free_string)(count, strings);
}
int nc_inq_dimid(int id, const char* name, int* dim) {
  return VEXAL_NETCDF(nc_inq_dimid)(id, name, dim);
}
int nc_inq_dimlen(int id, int dim, size_t* length) {
  return VEXAL_NETCDF(nc_inq_dimlen)(id, dim, length);
}
int nc_inq_dimname(int id, int dim, char* name) {
  return VEXAL_NETCDF(nc_inq_dimname)(id, dim, name);
}
int nc_inq_varid(int id, const char* name, int* var) {
  return VEXAL_NETCDF(nc_inq_varid)(id, name, var);
}
int nc_inq_varndims(int id, int var, int* count) {
  return VEXAL_NETCDF(nc_inq_varndims)(id, var, count);
}
int nc_inq_vardimid(int id, int var, int* dims) {
  return VEXAL_NETCDF(nc_inq_vardimid)(id, var, dims);
}
int nc_inq_vartype(int id, int var, nc_type* type) {
  return VEXAL_NETCDF(nc_inq_vartype)(id, var, type);
}
int nc_get_var_double(int id, int var, double* values) {
  return VEXAL_NETCDF(nc_get_var_double)(id, var, values);
}
int nc_get_vara_double(int id, int var, const size_t* start, const size_t* count, double* values) {
  return VEXAL_NETCDF(nc_get_vara_double)(id, var, start, count, values);
}

}  // extern "C"
