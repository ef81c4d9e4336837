# Build-time resource embedding.
#
#   dice_embed_resource(target TYPE type NAME name FUNCTION fn INPUT file)
#     embeds file as resource (type, name); fn() registers it.
#   dice_layout(target name source)
#     compiles a layout source with layoutc; RegisterLayout_<name>() registers it as RT_RCDATA <name>.
# The generated source is added to target, which must be defined in the calling directory.

function(dice_embed_resource target)
  cmake_parse_arguments(ARG "" "TYPE;NAME;FUNCTION;INPUT" "" ${ARGN})
  get_filename_component(input ${ARG_INPUT} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${ARG_FUNCTION}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/embedded
    COMMAND $<TARGET_FILE:embed> --type ${ARG_TYPE} --name ${ARG_NAME} --function ${ARG_FUNCTION} ${input} ${output}
    DEPENDS embed ${input}
    COMMENT "Embedding ${ARG_NAME}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  target_link_libraries(${target} PRIVATE desktop)
endfunction()

# The layout's @file parts are not tracked; list them in DEPENDS to rebuild when they change.
function(dice_layout target name source)
  cmake_parse_arguments(ARG "" "" "DEPENDS;INCLUDE" ${ARGN})
  get_filename_component(input ${source} ABSOLUTE)
  set(includes)
  foreach(dir ${ARG_INCLUDE})
    list(APPEND includes -I ${dir})
  endforeach()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/layouts/Layout_${name}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/layouts
    COMMAND $<TARGET_FILE:layoutc> ${includes} --cpp ${name} ${input} ${output}
    DEPENDS layoutc ${input} ${ARG_DEPENDS}
    COMMENT "Compiling layout ${name}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  target_link_libraries(${target} PRIVATE desktop)
endfunction()
