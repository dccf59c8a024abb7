# Reads one model argument of the EMF checks, "main.mdl" or "main.mdl|main.map",
# into MODEL_MAIN, MODEL_OPTIONS (the --pathmap option, when there is a map)
# and MODEL_DIRECTORY, where lum runs: a map's relative paths are read from
# where lum runs, so it runs beside the map, else in `work`.
macro(lum_model_argument argument work)
  string(REPLACE "|" ";" model_fields "${argument}")
  list(GET model_fields 0 MODEL_MAIN)
  set(MODEL_OPTIONS)
  set(MODEL_DIRECTORY ${work})
  list(LENGTH model_fields model_field_count)
  if(model_field_count GREATER 1)
    list(GET model_fields 1 model_map)
    set(MODEL_OPTIONS --pathmap ${model_map})
    get_filename_component(MODEL_DIRECTORY ${model_map} DIRECTORY)
  endif()
endmacro()
