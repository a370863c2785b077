#version 330 compatibility
// Depth alone: the draw's colour writes are off.
void main()
{
}
