# The game's assets under data/: the browser page's data package is remade
# when one of them changes. A new asset is added here too.
set(DRAVIK_DATA_FILES
  data/font.bmp.fnt
  data/grass.bmp
  data/meshes/colliders/quadCollider.json
  data/meshes/display/floorWood.json
  data/meshes/display/tallWall.json
  data/meshes/display/tree.json
  data/meshes/display/wall.json
  data/meshes/display/wood.json
  data/quad.json
  data/quadBackground.json
  data/road6.png
  data/shaders/basic-fixed.frag
  data/shaders/basic-fixed.vert
  data/shaders/conveyor-map.frag
  data/shaders/conveyor-map.vert
  data/shaders/gameover-fixed.frag
  data/shaders/gameover-fixed.vert
  data/sky/stars/stars.bmp
  data/wall.bmp
  data/whitepixel.bmp
  data/wood.bmp)
