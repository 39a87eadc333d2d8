// The QPainter drawing surface (placeholder until the drawing engine lands).
