# The Qt 6 window: main dialog, its controls, the two commands it hosts and
# the window services. Included from ui/CMakeLists.txt when CORVALITH_GUI.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

add_library(ui_window STATIC
    cpendula_dlg.cc
    cpendula_dlg.h
    cpendula_dlg_predict.cc
    cpendula_dlg_select.cc
    date_line.cc
    dialog_client.cc
    dialog_client.h
    dialog_fonts.cc
    dialog_template.cc
    dialog_units.cc
    draw_number_edit.cc
    draw_number_edit.h
    drop_down_combo.cc
    drop_down_combo.h
    instance_lock.cc
    qt_window_services.cc
    result_area.cc
    result_area.h
    up_down_control.cc
    up_down_control.h
    window_resources.cc
    ${CMAKE_SOURCE_DIR}/res/corvix.qrc)
set_target_properties(ui_window PROPERTIES AUTOMOC ON AUTORCC ON)
target_link_libraries(ui_window PUBLIC ui_core Qt6::Widgets corvalith_options)
