# Backends of the platform services. Paths are relative to src/.
