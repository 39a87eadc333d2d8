# Sources of src/dxf
