# Entry and bulk command cores, added to zub_core. Paths are relative to src/.
target_sources(zub_core PRIVATE
    cliplist/bulk_commands.cpp
    cliplist/edit_box_completion.cpp
    cliplist/entry_commands.cpp
    cliplist/recent_list.cpp
)
