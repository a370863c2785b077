# The .3dm writer of the model generators, part of datagen_common.
target_sources(datagen_common PRIVATE ${CMAKE_CURRENT_LIST_DIR}/model3dm_write.cpp)
