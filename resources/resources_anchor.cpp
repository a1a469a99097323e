// Keeps the resources library non-empty while templates are added.
namespace ids {
int resourcesAnchor = 0;
}  // namespace ids
