# Makes the tests' home and runtime folder afresh: cmake -DHOME=<folder> -DRUNTIME=<folder> -P MakeTestHome.cmake
# What an earlier run left there must not decide a test, so both start empty.
file(REMOVE_RECURSE ${HOME} ${RUNTIME})
file(MAKE_DIRECTORY ${HOME}/.config ${HOME}/.local/share ${HOME}/.cache ${RUNTIME})
# A runtime folder that others may enter is refused by the programs that use it.
file(CHMOD ${RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
