#pragma once

#include <string>

// The in-memory forms of the stored rows. A new record has every integer 0 and every string
// empty; the field names are the column names of the tables they come from.
namespace store {

/// A row of t_profile_data.
struct ProfileEntry {
    int id = 0;
    std::u16string name;
    int status = 0;
};

/// A row of t_key_macro_data: the function of one key in one layer of one profile.
struct KeyAssignment {
    int key_id = 0;
    int profile = 0;
    int fn_layer = 0;
    int key_code = 0;
    int layout_value = 0;
    std::u16string layout_desc;
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::u16string macro_desc;
};

/// A row of t_light_data: the parameters of one built-in light mode.
struct LightSetting {
    int light_id = 0;
    int profile = 0;
    std::u16string name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0;
    int config_func = 0;
    int reserved = 0;
    int status = 0;
};

/// A row of t_key_light_data: one key's colour (COLORREF, red in the low byte).
struct KeyColor {
    int keylight_id = 0;
    int profile = 0;
    int light_id = 0;
    int key_code = 0;
    int key_rgb = 0;
};

/// A row of t_macro_data.
struct Macro {
    int macro_id = 0;
    std::u16string name;
    int link_count = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;
};

/// A row of t_macrorecord: one recorded event of a macro.
struct MacroStep {
    int record_id = 0;
    int macro_id = 0;
    int type = 0;
    int record_index = 0;
    int value = 0;
    int delay_time = 0;
    std::u16string desc;
};

/// A row of t_musiclayer_data (the unused sel column is not read).
struct MusicLayer {
    int layer_id = 0;
    int profile = 0;
    std::u16string name;
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
};

} // namespace store
