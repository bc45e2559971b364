# The module's own sources, shared by the module file and by the tests that call its routines
# directly. Standard library only.
set(KAVELMOR_MODULE_SOURCES
  instance/instance_routines.cpp
  instance/options_panel.cpp
  module/host_services.cpp
  module/module_descriptor.cpp
  module/shading_server.cpp
  shading/det_atan.cpp
  shading/det_cos.cpp
  shading/det_pow.cpp
  shading/det_reduce.cpp
  shading/environment_lookup.cpp
  shading/evaluate_surface.cpp
  shading/light_selection.cpp
  shading/own_light_model.cpp
  shading/own_path_light.cpp
  shading/shadow_random.cpp
  shading/spherical_map.cpp
  shading/surroundings.cpp
)
list(TRANSFORM KAVELMOR_MODULE_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/")
