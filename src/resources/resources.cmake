# Embeds the program's resources into a target. Resources must be added to the
# executable itself: a resource object inside a static library is dropped by
# the linker because nothing references it.
function(morvane_add_resources target)
endfunction()
