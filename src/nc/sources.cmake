# Sources of src/nc
target_sources(velmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Vlist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncword.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncxyz.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncgcode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncgeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncinterpret.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Nccomment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncarc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncblocktext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncplain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncscan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Nctext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncreader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncevaluate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Nccheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncchecktext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Nclint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Nclintrules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Nclintmessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncproblems.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncfigures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncfind.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncprofile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ncprofilefile.cpp
)
# The reader scans lines ahead on worker threads.
find_package(Threads REQUIRED)
target_link_libraries(velmora_core PUBLIC Threads::Threads)
